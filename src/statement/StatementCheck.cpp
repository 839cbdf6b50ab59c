// SPDX-License-Identifier: MIT
#include "statement/StatementCheck.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <unordered_map>

namespace qif2ldx::statement {
namespace {

bool IsDigits(std::string_view text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Sign, digits and at most one ".", with a digit somewhere.
bool IsPlainDecimal(std::string_view text)
{
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos) {
        return IsDigits(text);
    }
    const std::string_view whole = text.substr(0, point);
    const std::string_view decimals = text.substr(point + 1);
    return (whole.empty() || IsDigits(whole)) && (decimals.empty() || IsDigits(decimals)) &&
           !(whole.empty() && decimals.empty());
}

bool IsOneOf(std::string_view name, std::initializer_list<std::string_view> names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Elements that readers take a value of, so that an empty one fails them; an empty NAME or
// MEMO is read as empty text.
bool NeedsValue(std::string_view name)
{
    return IsOneOf(
        name, {"TRNTYPE", "TRNAMT", "FITID", "BALAMT", "CURDEF", "ACCTID", "CODE", "SEVERITY"});
}

// Elements whose value a check reads: the text of the others is never kept.
bool ValueRead(std::string_view name)
{
    return NeedsValue(name) ||
           IsOneOf(name, {"CHECKNUM", "DTSTART", "DTEND", "DTASOF", "DTPOSTED", "DTSERVER"});
}

// Text as a hazard shows it: at most kMaxShownChars characters, then "…".
std::string EscapeControls(std::string_view text)
{
    if (text.size() <= kMaxShownChars) {
        return std::string(text); // no more bytes than characters allowed
    }
    std::string shown = platform::Utf8Left(text.substr(0, 4 * kMaxShownChars), kMaxShownChars);
    return shown.size() < text.size() ? shown + "\u2026" : shown;
}

std::string Hex(unsigned char byte)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string("0x") + kDigits[byte >> 4] + kDigits[byte & 0xF];
}

// Collects the hazards as the reader goes through the file.
class Checker final : public IOfxVisitor
{
public:
    explicit Checker(CheckResult& result) : result_(result) {}

    void HeaderField(const OfxHeaderField& field) override
    {
        const bool bolBlank =
            !field.sValue.empty() && (field.sValue.front() == ' ' || field.sValue.front() == '\t' ||
                                      field.sValue.back() == ' ' || field.sValue.back() == '\t');
        if (bolBlank || (!field.sKey.empty() && field.sKey.back() == ' ')) {
            Add(HazardKind::HeaderBlank, 0, field.line, field.sKey, field.sValue,
                "a blank around the header value: some readers see every value as empty, "
                "others never recognise it");
        }
    }

    bool ReadsText(std::string_view sName) const override { return ValueRead(sName); }

    void Leaf(const OfxLeaf& leaf) override
    {
        transactions_ = std::max(transactions_, leaf.transaction);
        if (leaf.form == LeafForm::SelfClosed) {
            Add(leaf, HazardKind::SelfClosedElement,
                "the empty-element form: SGML readers crash on it or read \">\" as its text");
            return;
        }
        const bool bolDate =
            IsOneOf(leaf.sName, {"DTSTART", "DTEND", "DTASOF", "DTPOSTED", "DTSERVER"});
        if (leaf.form != LeafForm::Text && bolDate) {
            Add(leaf, HazardKind::EmptyDate,
                "a date without a date: some readers refuse the whole file");
            return;
        }
        if (leaf.form == LeafForm::NoEndTag ||
            (leaf.form == LeafForm::EndTagOnly && NeedsValue(leaf.sName))) {
            Add(leaf, HazardKind::EmptyElement,
                leaf.form == LeafForm::NoEndTag
                    ? "an element without text and without its end tag: readers nest what "
                      "follows inside it"
                    : "an element that readers need a value of holds none");
            return;
        }
        if (leaf.form != LeafForm::Text) {
            return;
        }
        if (IsOneOf(leaf.sName, {"TRNAMT", "BALAMT"}) && !IsPlainDecimal(leaf.sText)) {
            Add(leaf, HazardKind::AmountNotPlain,
                "not a plain decimal (sign, digits, \".\"): readers misread thousands "
                "separators (-1,234.56 as -1.23), blanks and currency signs, or refuse them");
        } else if (leaf.sName == "CHECKNUM" && !IsDigits(leaf.sText)) {
            Add(leaf, HazardKind::CheckNumNotNumeric,
                "a check number that is not a number: readers that take it as one fail");
        } else if (leaf.sName == "FITID" && leaf.transaction > 0) {
            NoteFitId(leaf);
        }
    }

    void StrayByte(const OfxStrayByte& stray) override
    {
        if (Count(HazardKind::ByteOutsideCharset)) {
            List(HazardKind::ByteOutsideCharset, stray.transaction, 0, stray.sElement,
                 Hex(stray.byte),
                 "a byte that the declared character set does not hold: readers decode the "
                 "text wrongly or refuse it");
        }
    }

    void WideReference(const OfxWideReference& reference) override
    {
        Add(HazardKind::ReferenceAbove255, reference.transaction, 0, reference.sElement,
            reference.sReference,
            "a character reference above 255: libofx and the programs built on it drop the "
            "character");
    }

    // The hazards of the statement as a whole.
    void Finish()
    {
        result_.transactions = transactions_;
        if (count_ > 0 && bolPositional_) {
            const std::int64_t last = base_ + count_ - 1;
            Add(HazardKind::PositionalFitIds, 0, 0, "FITID",
                std::to_string(base_) + (last > base_ ? " to " + std::to_string(last) : ""),
                "FITIDs that count positions: every statement of the account repeats them, "
                "and importers drop the next statement's transactions as duplicates");
        }
    }

private:
    // Counts a hazard found; true when it is still to be listed in full.
    bool Count(HazardKind kind)
    {
        ++result_.hazardCount;
        if (result_.hazards.size() < kListedHazards) {
            return true;
        }
        ++result_.unlisted[kind];
        return false;
    }

    void List(HazardKind kind, std::int64_t transaction, std::int64_t line,
              std::string_view sElement, std::string_view sValue, std::string sMessage)
    {
        result_.hazards.push_back({kind, transaction, line, EscapeControls(sElement),
                                   EscapeControls(sValue), std::move(sMessage)});
    }

    void Add(HazardKind kind, std::int64_t transaction, std::int64_t line,
             std::string_view sElement, std::string_view sValue, const char* sMessage)
    {
        if (Count(kind)) {
            List(kind, transaction, line, sElement, sValue, sMessage);
        }
    }

    void Add(const OfxLeaf& leaf, HazardKind kind, const char* sMessage)
    {
        Add(kind, leaf.transaction, 0, leaf.sName, leaf.sText, sMessage);
    }

    void NoteFitId(const OfxLeaf& leaf)
    {
        const std::int64_t position = count_++;
        if (position == 0) {
            base_ = leaf.sText == "1" ? 1 : 0;
        }
        bolPositional_ = bolPositional_ && leaf.sText == std::to_string(position + base_);
        const auto [seen, bolNew] = fitIds_.emplace(std::string(leaf.sText), leaf.transaction);
        if (!bolNew && Count(HazardKind::RepeatedFitId)) {
            List(HazardKind::RepeatedFitId, leaf.transaction, 0, "FITID", leaf.sText,
                 "the FITID of transaction " + std::to_string(seen->second) +
                     " again: importers keep only one of them");
        }
    }

    CheckResult& result_;
    std::int64_t transactions_ = 0;
    std::unordered_map<std::string, std::int64_t> fitIds_; // the transaction each is first in
    std::int64_t count_ = 0;                               // FITIDs of transactions so far
    std::int64_t base_ = 0; // the number the first FITID counts from, when it counts
    bool bolPositional_ = true;
};

} // namespace

const char* HazardName(HazardKind kind)
{
    switch (kind) {
    case HazardKind::AmountNotPlain:
        return "amount-not-plain";
    case HazardKind::EmptyElement:
        return "empty-element";
    case HazardKind::SelfClosedElement:
        return "self-closed-element";
    case HazardKind::EmptyDate:
        return "empty-date";
    case HazardKind::RepeatedFitId:
        return "repeated-fitid";
    case HazardKind::PositionalFitIds:
        return "positional-fitids";
    case HazardKind::CheckNumNotNumeric:
        return "checknum-not-numeric";
    case HazardKind::HeaderBlank:
        return "header-blank";
    case HazardKind::ByteOutsideCharset:
        return "byte-outside-charset";
    case HazardKind::ReferenceAbove255:
        return "reference-above-255";
    }
    return "";
}

CheckResult CheckStatement(std::string_view bytes, const KeepReading& keepReading)
{
    CheckResult result;
    Checker objChecker(result);
    OfxReadResult read = ReadOfx(bytes, objChecker, keepReading);
    result.sForm = std::move(read.sForm);
    result.sReason = std::move(read.sReason);
    result.status = read.status;
    if (read.status != OfxReadStatus::Read) {
        result.hazards.clear();
        result.hazardCount = 0;
        result.unlisted.clear();
        return result;
    }
    objChecker.Finish();
    return result;
}

} // namespace qif2ldx::statement
