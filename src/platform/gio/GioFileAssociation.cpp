// SPDX-License-Identifier: MIT
#include "platform/gio/GioFileAssociation.h"

#include <gio/gio.h>
#include <memory>

namespace qif2ldx::platform {
namespace {

struct GObjectDeleter
{
    void operator()(gpointer p) const { g_object_unref(p); }
};
struct GFreeDeleter
{
    void operator()(gpointer p) const { g_free(p); }
};

template <typename T> using GObjectPtr = std::unique_ptr<T, GObjectDeleter>;
using GString = std::unique_ptr<gchar, GFreeDeleter>;

// True when the application's own entry names the type itself among those it opens.
bool Claims(GAppInfo* app, const char* type)
{
    const char* const* types = g_app_info_get_supported_types(app);
    for (; types != nullptr && *types != nullptr; ++types) {
        if (g_content_type_equals(*types, type) != FALSE) {
            return true;
        }
    }
    return false;
}

// The application to start for the type: the default when it claims the type itself,
// otherwise the first application that does; nullptr when none claims it.
GObjectPtr<GAppInfo> ApplicationFor(const char* type)
{
    GObjectPtr<GAppInfo> chosen(g_app_info_get_default_for_type(type, FALSE));
    if (chosen && Claims(chosen.get(), type)) {
        return chosen;
    }
    chosen.reset();
    GList* claiming = g_app_info_get_recommended_for_type(type);
    for (GList* item = claiming; item != nullptr && !chosen; item = item->next) {
        auto* app = static_cast<GAppInfo*>(item->data);
        if (Claims(app, type)) {
            chosen.reset(static_cast<GAppInfo*>(g_object_ref(app)));
        }
    }
    g_list_free_full(claiming, g_object_unref);
    return chosen;
}

} // namespace

std::string GioFileAssociation::FindExecutable(const std::string& sFile) const
{
    if (sFile.empty()) {
        return {};
    }
    const GObjectPtr<GFile> file(g_file_new_for_path(sFile.c_str()));
    const GObjectPtr<GFileInfo> info(g_file_query_info(
        file.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE "," G_FILE_ATTRIBUTE_STANDARD_TYPE,
        G_FILE_QUERY_INFO_NONE, nullptr, nullptr));
    if (!info || g_file_info_get_file_type(info.get()) != G_FILE_TYPE_REGULAR) {
        return {};
    }
    const char* type = g_file_info_get_content_type(info.get());
    if (type == nullptr || g_content_type_equals(type, sMimeType_.c_str()) == FALSE) {
        return {}; // not known as a statement here, whatever it may resemble
    }
    const GObjectPtr<GAppInfo> app = ApplicationFor(sMimeType_.c_str());
    const char* executable = app ? g_app_info_get_executable(app.get()) : nullptr;
    if (executable == nullptr || *executable == '\0') {
        return {};
    }
    const GString path(g_find_program_in_path(executable));
    return path ? std::string(path.get()) : std::string();
}

} // namespace qif2ldx::platform
