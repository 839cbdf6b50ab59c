// SPDX-License-Identifier: MIT
#include "app/MainModule.h"

#include <filesystem>

namespace qif2ldx::app {

std::string AppPath(const platform::IProgramFolder& objProgramFolder)
{
    std::string sFolder = objProgramFolder.Folder();
    if (sFolder.empty() || sFolder.back() != '/') {
        sFolder += '/';
    }
    return sFolder;
}

std::string GetPathBeforeExtension(const std::string& sPath)
{
    const std::size_t slash = sPath.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t firstNotDot = sPath.find_first_not_of('.', nameStart);
    const std::size_t dot = sPath.rfind('.');
    if (firstNotDot == std::string::npos || dot == std::string::npos || dot < firstNotDot) {
        return sPath + ".";
    }
    return sPath.substr(0, dot + 1);
}

std::string GetFolderPath(const std::string& sPath)
{
    const std::size_t slash = sPath.rfind('/');
    return slash == std::string::npos ? std::string() : sPath.substr(0, slash + 1);
}

bool IsStatementFileName(const std::string& sLDXPath)
{
    const std::string sEnding = sLDXPath.size() > 4 ? sLDXPath.substr(sLDXPath.size() - 4) : "";
    return sEnding == ".LDX" || sEnding == ".ldx";
}

bool IsSameFileAsInput(const std::string& sLDXPath, const std::string& sQIFPath)
{
    return sLDXPath == sQIFPath || platform::IsSameFile(sLDXPath, sQIFPath);
}

namespace {

// "qif2ldx/NAME" in the folder an XDG variable names, or in HOME's sFallback when it names none;
// empty when HOME names no folder either (unset, empty or not absolute).
std::string UserFile(const platform::IEnvironment& objEnvironment, const char* sVariable,
                     const char* sFallback, const std::string& sName)
{
    std::string sFolder = objEnvironment.Variable(sVariable).value_or("");
    if (!sFolder.starts_with('/')) {
        // A relative HOME would put the file wherever the program was started from.
        const std::string sHome = objEnvironment.Variable("HOME").value_or("");
        if (!sHome.starts_with('/')) {
            return {};
        }
        sFolder = sHome + sFallback;
    }
    if (!sFolder.ends_with('/')) {
        sFolder += '/';
    }
    return sFolder + "qif2ldx/" + sName;
}

} // namespace

std::string UserConfigFile(const platform::IEnvironment& objEnvironment, const std::string& sName)
{
    return UserFile(objEnvironment, "XDG_CONFIG_HOME", "/.config", sName);
}

std::string UserDataFile(const platform::IEnvironment& objEnvironment, const std::string& sName)
{
    return UserFile(objEnvironment, "XDG_DATA_HOME", "/.local/share", sName);
}

std::string AbsolutePath(const std::string& sPath)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(sPath, error);
    const std::filesystem::path path =
        error ? absolute : std::filesystem::weakly_canonical(absolute, error);
    return error || path.empty() ? sPath : path.string();
}

std::string ExpandHome(const std::string& sText, const platform::IEnvironment& objEnvironment)
{
    std::string sPath = Trim(sText);
    const std::string sHome = objEnvironment.Variable("HOME").value_or("");
    if (!sPath.starts_with("~/") || sHome.empty()) {
        return sPath;
    }
    return (sHome.ends_with('/') ? sHome.substr(0, sHome.size() - 1) : sHome) + sPath.substr(1);
}

std::string Trim(const std::string& sText)
{
    const std::size_t first = sText.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    const std::size_t last = sText.find_last_not_of(' ');
    return sText.substr(first, last - first + 1);
}

} // namespace qif2ldx::app
