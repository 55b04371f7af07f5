// The navigation parts of the Viewer: how they meet the chart, the loader and the reports,
// and their clicks by control name.
#include "session/viewer.h"
#include "voice/view_description.h"

namespace {
// Significant digits of the description's numbers while the user keeps the usual forms.
constexpr int DescribeDigits = 3;
}

void Viewer::connectNavigation()
{
    navigation.speakChartWidth = [this] { reports.SpeakChartWidth(); };
    navigation.speakChartHeight = [this] { reports.SpeakChartHeight(); };
    view.recolourArrows = [this] { navigation.CheckArrowColors(); };
    hooks.checkScrollEnabled = [this] { navigation.CheckScrollEnabled(); };
    navigation.playEarcon = [this](Landmark kind) { earcons.play(kind); };
    // Any change of the view (a scan, a typed command, the pointer) refreshes the buttons.
    QObject::connect(&chart, &StripChartModel::viewChanged, &chart, [this] {
        navigation.CheckScrollEnabled();
        navigation.CheckArrowColors();
    });

    // The braille line shows what the chart shows, and its caret where the cursor stands.
    QObject::connect(&chart, &StripChartModel::redrawRequested, &chart, [this] { braille.refresh(); });
    QObject::connect(&chart, &StripChartModel::viewChanged, &chart, [this] { braille.refresh(); });
    QObject::connect(&chart, &StripChartModel::cursorChanged, &chart, [this] { braille.followCursor(); });

    auto &h = loader.hooks;
    const auto chain = [](std::function<void()> &slot, std::function<void()> more) {
        slot = [before = slot, more] {
            if (before)
                before();
            more();
        };
    };
    // A load hides the buttons and closes the offset panel of the file before.
    chain(h.hideArrows, [this] { offsets.close(); });
    chain(h.forgetRememberedView, [this] { navigation.forgetRememberedView(); });
    chain(h.refreshChannelMenus, [this] { navigation.UpdateMnuCH(); });
    chain(h.closeOffsetPanel, [this] { offsets.close(); });
}

void Viewer::registerNavigationActions()
{
    Navigation &n = navigation;
    const QList<QPair<const char *, void (Navigation::*)()>> clicks = {
        {"cmdLeft", &Navigation::cmdLeft_Click},
        {"cmdRight", &Navigation::cmdRight_Click},
        {"cmdUp", &Navigation::cmdUp_Click},
        {"cmdDown", &Navigation::cmdDown_Click},
        {"cmdIncX", &Navigation::cmdIncX_Click},
        {"cmdDecX", &Navigation::cmdDecX_Click},
        {"cmdIncY", &Navigation::cmdIncY_Click},
        {"cmdDecY", &Navigation::cmdDecY_Click},
        {"cmdCursor", &Navigation::cmdCursor_Click},
        {"cmdZoom", &Navigation::cmdZoom_Click},
        {"cmdAutoScrollEnable", &Navigation::cmdAutoScrollEnable_Click},
        {"mnuCursor", &Navigation::mnuCursor_Click},
        {"mnuSetYminToZero", &Navigation::mnuSetYminToZero_Click},
        {"mnuRememberXY", &Navigation::mnuRememberXY_Click},
        {"mnuRecallXY", &Navigation::mnuRecallXY_Click},
    };
    for (const auto &entry : clicks)
        actions.add(QLatin1String(entry.first), [&n, click = entry.second] { (n.*click)(); });
    for (int ch = 1; ch <= StripChartModel::MaxChannels; ++ch)
        actions.add(QStringLiteral("mnuCH%1").arg(ch), [&n, ch] { n.mnuCH_Click(ch); });
    actions.add(QStringLiteral("UpdateMnuCH"), [&n] { n.UpdateMnuCH(); });
    actions.add(QStringLiteral("mnuDescribeView"), [this] { mnuDescribeView(); });
    actions.add(QStringLiteral("cmdAutoScale"), [this] {
        view.cmdAutoScale_Click();
        navigation.CheckScrollEnabled();
    });

    OffsetPanel &o = offsets;
    actions.add(QStringLiteral("cmdOffset"), [&o] { o.cmdOffset_Click(); });
    actions.add(QStringLiteral("cmdOffSetUp"), [&o] { o.cmdOffSetUp_Click(); });
    actions.add(QStringLiteral("cmdOffsetDown"), [&o] { o.cmdOffsetDown_Click(); });
    actions.add(QStringLiteral("cmdChUp"), [&o] { o.cmdChUp_Click(); });
    actions.add(QStringLiteral("cmdCHDown"), [&o] { o.cmdCHDown_Click(); });
}

void Viewer::mnuDescribeView()
{
    speech.speak(describeView(chart, data, view, spokenDigits() > 0 ? spokenDigits() : DescribeDigits));
}
