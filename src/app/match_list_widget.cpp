#include "app/match_list_widget.h"
#include "archive/match_list.h"
#include <QFocusEvent>

MatchListWidget::MatchListWidget(MatchList &list, QWidget *parent) : QListWidget(parent), list_(list)
{
    setObjectName(QStringLiteral("List1"));
    setAccessibleName(QStringLiteral("Archive matches"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    hide();
    list_.changed = [this] { showList(); };
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!showing_)
            list_.select(row);
    });
    showList();
}

MatchListWidget::~MatchListWidget()
{
    list_.changed = nullptr;
}

void MatchListWidget::showList()
{
    showing_ = true;
    QStringList shown;
    for (int i = 0; i < count(); ++i)
        shown << item(i)->text();
    if (shown != list_.entries()) {
        clear();
        addItems(list_.entries());
    }
    setCurrentRow(list_.selected());
    if (list_.selected() < 0)
        clearSelection();
    showing_ = false;
}

void MatchListWidget::focusInEvent(QFocusEvent *event)
{
    QListWidget::focusInEvent(event);
    if (gotFocus)
        gotFocus();
}
