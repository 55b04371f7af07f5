// The commands and menu items of following a recording while it is written.
#include "session/viewer.h"

void Viewer::connectLive()
{
    // A new load replaces the rows being followed.
    loader.hooks.loadStarting = [this] { live.stopAll(); };
    commandBox.addCommand({QStringLiteral("FOLLOW")}, [this] { live.FOLLOW(); });
    commandBox.addCommand({QStringLiteral("LISTEN")}, [this] { live.LISTEN(); });
    commandBox.addCommand({QStringLiteral("ALARM")}, [this] { live.ALARM(); });
    commandBox.addPromptAnswer(QStringLiteral("ALARM"), {QStringLiteral("ALARM")},
                               [this](const QString &typed) { return live.alarmAnswer(typed); });
    actions.add(QStringLiteral("mnuFollowFile"), [this] { live.FOLLOW(); });
    actions.add(QStringLiteral("mnuListen"), [this] { live.LISTEN(); });
}
