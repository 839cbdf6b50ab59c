// SPDX-License-Identifier: MIT
#include "app/StartMode.h"

#include "platform/FileSystem.h"

#include <algorithm>

namespace qif2ldx::app {
namespace {

bool IsSet(const platform::IEnvironment& objEnvironment, const char* sName)
{
    const std::optional<std::string> value = objEnvironment.Variable(sName);
    return value && !value->empty();
}

} // namespace

StartMode ChooseStartMode(const std::vector<std::string>& arguments,
                          const platform::IEnvironment& objEnvironment,
                          const std::vector<std::string>& commands)
{
    if (arguments.empty()) {
        return StartMode::Dialog;
    }
    if (arguments.size() != 1) {
        return StartMode::CommandLine;
    }
    const std::string& sArgument = arguments.front();
    const bool bolCommand =
        std::find(commands.begin(), commands.end(), sArgument) != commands.end();
    const bool bolFile =
        !sArgument.starts_with('-') && !bolCommand && platform::FileExists(sArgument);
    return bolFile && DisplayAvailable(objEnvironment) ? StartMode::DialogOnFile
                                                       : StartMode::CommandLine;
}

bool DisplayAvailable(const platform::IEnvironment& objEnvironment)
{
    const std::string sPlatform = objEnvironment.Variable("QT_QPA_PLATFORM").value_or("");
    const bool bolNeedsDisplay =
        sPlatform.empty() || sPlatform.starts_with("xcb") || sPlatform.starts_with("wayland");
    return !bolNeedsDisplay || IsSet(objEnvironment, "DISPLAY") ||
           IsSet(objEnvironment, "WAYLAND_DISPLAY");
}

} // namespace qif2ldx::app
