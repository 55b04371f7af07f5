#include "app/offset_panel_widget.h"
#include "app/arrow_pictures.h"
#include "app/chart_painter.h"
#include "app/command_button.h"
#include "app/widget_surface.h"
#include "view/offset_panel.h"
#include "view/strip_chart_model.h"
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
constexpr int Row = 26;
}

OffsetPanelWidget::OffsetPanelWidget(WidgetSurface &surface, OffsetPanel &panel, const StripChartModel &chart,
                                     std::function<void(const QString &)> run, QWidget *parent)
    : QFrame(parent), chart_(chart)
{
    setObjectName(QStringLiteral("Frame1"));
    setAccessibleName(QStringLiteral("Channel offsets"));
    setFrameShape(QFrame::StyledPanel);
    surface.add(QStringLiteral("Frame1"), this);

    auto *label = new QLabel(QStringLiteral("Ch"), this);
    label->setObjectName(QStringLiteral("LBLOffsetCH"));
    surface.add(label->objectName(), label);

    channel_ = new QLineEdit(this);
    channel_->setObjectName(QStringLiteral("txtChannel"));
    channel_->setAccessibleName(QStringLiteral("Offset channel"));
    channel_->setReadOnly(true);
    surface.add(channel_->objectName(), channel_);

    offset_ = new QLineEdit(this);
    offset_->setObjectName(QStringLiteral("TxtOffset"));
    offset_->setAccessibleName(QStringLiteral("Channel offset"));
    offset_->setToolTip(QStringLiteral("Type an offset and press Enter"));
    surface.add(offset_->objectName(), offset_);
    connect(offset_, &QLineEdit::returnPressed, this, [this, &panel] { panel.TxtOffset_Enter(offset_->text()); });

    struct ButtonInfo {
        const char *name, *caption, *accessible;
    };
    const ButtonInfo buttons[] = {{"cmdChUp", "Ch+", "Next offset channel"},
                                  {"cmdCHDown", "Ch-", "Previous offset channel"},
                                  {"cmdOffSetUp", "+10", "Offset up ten"},
                                  {"cmdOffsetDown", "-10", "Offset down ten"}};
    for (const ButtonInfo &info : buttons) {
        auto *button = new CommandButton(QLatin1String(info.caption), false, this);
        const QString name = QLatin1String(info.name);
        button->setObjectName(name);
        button->setAccessibleName(QLatin1String(info.accessible));
        button->setToolTip(QLatin1String(info.accessible));
        surface.add(name, button);
        const bool offsetButton = name.startsWith(QLatin1String("cmdOff"));
        connect(button, &QPushButton::clicked, this, [this, run, name, offsetButton] {
            run(name);
            // Released over an offset button: the offset box is next, for typing.
            if (offsetButton)
                offset_->setFocus(Qt::OtherFocusReason);
        });
    }
    panel.colourBoxes = [this](int index) { colourBoxes(index); };
    hide();
}

void OffsetPanelWidget::arrange(int width)
{
    const int inner = width - 8;
    const int half = (inner - 2) / 2;
    const auto at = [this](const char *name) { return findChild<QWidget *>(QLatin1String(name)); };
    at("LBLOffsetCH")->setGeometry(4, 4, 22, Row);
    channel_->setGeometry(28, 4, inner - 24, Row);
    at("cmdCHDown")->setGeometry(4, 4 + Row + 1, half, Row);
    at("cmdChUp")->setGeometry(6 + half, 4 + Row + 1, half, Row);
    offset_->setGeometry(4, 4 + 2 * (Row + 1), inner, Row);
    at("cmdOffsetDown")->setGeometry(4, 4 + 3 * (Row + 1), half, Row);
    at("cmdOffSetUp")->setGeometry(6 + half, 4 + 3 * (Row + 1), half, Row);
}

QList<QWidget *> OffsetPanelWidget::tabOrder() const
{
    QList<QWidget *> order;
    for (const char *name : {"txtChannel", "cmdCHDown", "cmdChUp", "TxtOffset", "cmdOffsetDown", "cmdOffSetUp"})
        order << findChild<QWidget *>(QLatin1String(name));
    return order;
}

void OffsetPanelWidget::colourBoxes(int channelIndex)
{
    QPalette palette = this->palette();
    if (channelIndex >= 0 && channelIndex < chart_.channelCount())
        palette.setColor(QPalette::Text, ChartPainter::fromBgr(chart_.channelColour(channelIndex)));
    channel_->setPalette(palette);
    offset_->setPalette(palette);
}
