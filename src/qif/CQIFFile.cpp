// SPDX-License-Identifier: MIT
#include "qif/CQIFFile.h"

#include "platform/FileSystem.h"
#include "platform/Windows1252.h"
#include "qif/CQIFTx.h"
#include "qif/QIFDate.h"
#include "statement/CLDXFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace qif2ldx::qif {
namespace {

// How many bytes go by between two progress reports.
constexpr std::uint64_t kProgressStep = 1 << 20;

bool ReadWhole(int fd, std::string& buffer)
{
    struct stat info
    {};
    if (::fstat(fd, &info) != 0 || ::lseek(fd, 0, SEEK_SET) != 0) {
        return false;
    }
    buffer.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t got = ::read(fd, buffer.data() + done, buffer.size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            break; // the file shrank since it was measured
        }
        done += static_cast<std::size_t>(got);
    }
    buffer.resize(done);
    return true;
}

// Collects one transaction at a time and hands each complete one to the statement writer.
class Converter
{
public:
    Converter(statement::CLDXFile& objWriter, const app::CAcctInfo& cAcctInf,
              ConversionStatistics& stats, bool bolUtf8)
        : objWriter_(objWriter), cAcctInf_(cAcctInf), stats_(stats), bolUtf8_(bolUtf8)
    {}

    void HandleLine(std::string_view line)
    {
        if (line.empty()) {
            return;
        }
        const std::string_view field = line.substr(1);
        switch (line.front()) {
        case 'D': {
            const std::string sDate = NormaliseQIFDate(line);
            // A day-first reading of a month-first or year-first file gives days that do not
            // exist; such a statement would only be rejected or imported wrongly.
            if (!IsCalendarDate(sDate)) {
                throw QIFError("\"" + Decode(line) + "\" is not a day-first date");
            }
            cTxn_.sDate = sDate;
            TrackPeriod(cTxn_.sDate);
            opened_ = true;
            break;
        }
        case 'U':
        case 'T':
            cTxn_.sAmount = Decode(field);
            opened_ = true;
            break;
        case 'P':
            cTxn_.sPayee = Decode(field);
            opened_ = true;
            break;
        case 'M':
            cTxn_.sMemo = Decode(field);
            opened_ = true;
            break;
        case 'N':
            cTxn_.sNum = Decode(field);
            opened_ = true;
            break;
        case '^':
            EndTransaction();
            break;
        case '!':
            // Only records under a "!Type:" header are transactions; the others (account lists,
            // options) are not counted as dropped when they lack a date or an amount.
            inTransactions_ = line.substr(0, 6) == "!Type:";
            break;
        default:
            break; // categories, cleared flags, addresses, splits and the rest are not carried
        }
    }

    // What is left open when the file ends is not written.
    void Finish() { stats_.bolUnterminatedRecord = opened_; }

private:
    void EndTransaction()
    {
        if (!cTxn_.sDate.empty() && !cTxn_.sAmount.empty()) {
            static_cast<void>(objWriter_.WriteOFXTrans(cTxn_, cAcctInf_));
            ++stats_.lngWritten;
        } else if (opened_ && inTransactions_) {
            ++stats_.lngDropped;
        }
        cTxn_ = CQIFTx{};
        opened_ = false;
    }

    void TrackPeriod(const std::string& sNew)
    {
        // Both comparisons read every part of both dates, so a part that is not a number fails
        // even where the years already decide.
        if (stats_.sStartDate.empty() || IsEarlierDate(sNew, stats_.sStartDate)) {
            stats_.sStartDate = sNew;
        }
        if (stats_.sEndDate.empty() || IsEarlierDate(stats_.sEndDate, sNew)) {
            stats_.sEndDate = sNew;
        }
    }

    [[nodiscard]] std::string Decode(std::string_view field) const
    {
        return platform::DecodeFileText(field, bolUtf8_);
    }

    statement::CLDXFile& objWriter_;
    const app::CAcctInfo& cAcctInf_;
    ConversionStatistics& stats_;
    bool bolUtf8_;
    CQIFTx cTxn_;
    bool opened_ = false;        // the current record holds a field
    bool inTransactions_ = true; // files without any header hold transactions
};

} // namespace

CQIFFile::CQIFFile(platform::IMessages& objMessages,
                   const platform::IProgramFolder& objProgramFolder,
                   const platform::IClock& objClock)
    : objMessages_(objMessages), objProgramFolder_(objProgramFolder), objClock_(objClock)
{}

CQIFFile::~CQIFFile()
{
    if (lngFileHandle >= 0) {
        ::close(lngFileHandle);
    }
}

bool CQIFFile::OpenFile(const std::string& sQIFFilePath)
{
    if (sQIFFilePath.empty()) {
        return false;
    }
    // O_NONBLOCK keeps the open from waiting on a FIFO; anything but a regular file is refused,
    // since reading a device or a pipe could block or never end.
    const int fd = ::open(sQIFFilePath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    struct stat info
    {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    if (lngFileHandle >= 0) {
        ::close(lngFileHandle);
    }
    lngFileHandle = fd;
    return true;
}

bool CQIFFile::ConvertQIFtoLDX(const std::string& sLDXFilePath, const app::CAcctInfo& cAcctInf)
{
    stats_ = ConversionStatistics{};
    if (lngFileHandle < 0) {
        return false;
    }
    try {
        statement::CLDXFile objWriter(objMessages_, objProgramFolder_, objClock_);
        if (const auto identity = platform::IdentityOf(lngFileHandle)) {
            objWriter.KeepFile(*identity); // the statement must never replace its own input
        }
        if (!objWriter.CreateFile(sLDXFilePath)) {
            stats_.sFailure = "the statement file cannot be created: " + sLDXFilePath;
            return false;
        }
        static_cast<void>(objWriter.WriteOFXStandardInfo(cAcctInf));

        std::string buffer;
        if (!ReadWhole(lngFileHandle, buffer)) {
            return false;
        }
        std::string_view text(buffer);
        // A byte-order mark says the file is UTF-8 rather than Windows-1252.
        const bool bolUtf8 = text.substr(0, 3) == platform::kUtf8ByteOrderMark;
        if (bolUtf8) {
            text.remove_prefix(3);
        }
        const std::size_t length = text.size();
        // A file with no line end at all keeps its single line unread (one character) or fails
        // (more); otherwise a last line without a line end counts like any other.
        const bool bolHasLineEnd = text.find('\n') != std::string_view::npos;

        Converter converter(objWriter, cAcctInf, stats_, bolUtf8);
        std::size_t pos = 0;
        std::int64_t lngLine = 0;
        // Where the next CR LF starts, looked up again only once the reading has passed it.
        std::size_t nextCrLf = text.find("\r\n");
        std::uint64_t nextReport = kProgressStep;
        while (pos + 1 < length) {
            if (nextCrLf != std::string_view::npos && nextCrLf < pos) {
                nextCrLf = text.find("\r\n", pos);
            }
            std::size_t end = nextCrLf;
            std::size_t terminator = 2;
            if (end == std::string_view::npos) {
                end = text.find('\n', pos);
                terminator = 1;
            }
            if (end == std::string_view::npos) {
                if (!bolHasLineEnd) {
                    stats_.sFailure = "the file has no line ends (LF or CR LF); lines that "
                                      "end in CR alone are not read";
                    return false;
                }
                end = length;
                terminator = 0;
            }
            ++lngLine;
            try {
                converter.HandleLine(text.substr(pos, end - pos));
            } catch (const QIFError& error) {
                stats_.sFailure = "line " + std::to_string(lngLine) + ": " + error.what();
                return false;
            }
            pos = end + terminator;
            if (objProgress_ && pos >= nextReport) {
                nextReport = pos + kProgressStep;
                if (!objProgress_(pos, length)) {
                    return false;
                }
            }
        }
        if (pos + 1 == length && bolHasLineEnd) {
            converter.HandleLine(text.substr(pos)); // one character: no date, nothing to fail
        }
        converter.Finish();
        buffer = std::string();

        objWriter.InsertSTMTStartEndDate(cAcctInf, stats_.sStartDate, stats_.sEndDate);
        objWriter.InsertLEDGERBAL(cAcctInf, stats_.sEndDate);
        if (objProgress_ && !objProgress_(length, length)) {
            return false;
        }
        if (!objWriter.SaveFile()) {
            stats_.sFailure = "the statement could not be written in full to " + sLDXFilePath +
                              " (is the disk full?)";
            return false;
        }
        return true;
    } catch (const std::exception& error) {
        stats_.sFailure = error.what();
        return false;
    }
}

} // namespace qif2ldx::qif
