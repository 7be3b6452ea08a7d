#include "shell/desktopscripts.h"

#include "platform/eventloop.h"
#include "platform/scripts.h"

namespace Starwick {

namespace {

constexpr int kSetDesktopPictureScript = 168;
constexpr int kOpenDesktopSettingsScript = 169;

// Gathers the parameters and runs the script. The parameters are read again after each hand-back
// to the event loop, so a list that an event handler shortens meanwhile is never read past its end.
void runDesktopScript(int scriptId, const QVariantList& parameters)
{
    if (parameters.isEmpty()) {
        platform::ScriptExecute(scriptId);
        return;
    }
    const platform::ScriptHandle handle = platform::StartParamScript(scriptId);
    for (qsizetype i = 0; i < parameters.size(); ++i) {
        const QVariant& element = parameters.at(i);
        if (element.typeId() == QMetaType::Int)
            platform::AddIntegerScriptParam(handle, element.toInt());
        else
            platform::AddStringScriptParam(handle, element.toString());
        platform::YieldToEventLoop();
    }
    platform::CompleteParamScriptExecute(handle);
}

} // namespace

void SetDTPic(const QVariantList& parameters)
{
    runDesktopScript(kSetDesktopPictureScript, parameters);
}

void OpenDTPrefs(const QVariantList& parameters)
{
    runDesktopScript(kOpenDesktopSettingsScript, parameters);
}

} // namespace Starwick
