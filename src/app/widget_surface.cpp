#include "app/widget_surface.h"
#include "app/arrow_pictures.h"
#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>

namespace {
// The screen reader hears of the new name, as it would of a focus change.
void setAnnouncedName(QWidget *widget, const QString &name)
{
    widget->setAccessibleName(name);
    QAccessibleEvent changed(widget, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}
} // namespace

void WidgetSurface::add(const QString &name, QObject *control)
{
    if (auto *menu = qobject_cast<QMenu *>(control))
        control = menu->menuAction();
    controls_[name] = control;
}

void WidgetSurface::setLabel(const QString &name, const QString &text)
{
    QObject *c = control(name);
    if (auto *label = qobject_cast<QLabel *>(c)) {
        label->setText(text);
        // An empty label still says what it is for.
        setAnnouncedName(label, text.isEmpty() ? label->accessibleDescription() : text);
    } else if (auto *edit = qobject_cast<QLineEdit *>(c)) {
        edit->setText(text);
    }
}

void WidgetSurface::setWindowTitle(const QString &title)
{
    window_->setWindowTitle(title);
    // The frame's name is what the screen reader announces for the window: it follows the
    // title ("File Loaded: ...", "File Load Aborted"), and the change is announced.
    setAnnouncedName(window_, title);
}

void WidgetSurface::setEnabled(const QString &name, bool enabled)
{
    QObject *c = control(name);
    if (auto *action = qobject_cast<QAction *>(c))
        action->setEnabled(enabled);
    else if (auto *widget = qobject_cast<QWidget *>(c))
        widget->setEnabled(enabled);
}

void WidgetSurface::setVisible(const QString &name, bool visible)
{
    QObject *c = control(name);
    if (auto *action = qobject_cast<QAction *>(c)) {
        action->setVisible(visible);
    } else if (auto *widget = qobject_cast<QWidget *>(c)) {
        widget->setProperty(HiddenProperty, !visible);
        widget->setVisible(visible);
        if (layoutChanged)
            layoutChanged();
    }
}

void WidgetSurface::setChecked(const QString &name, bool checked)
{
    QObject *c = control(name);
    if (auto *action = qobject_cast<QAction *>(c)) {
        action->setCheckable(true);
        action->setChecked(checked);
    } else if (auto *button = qobject_cast<QAbstractButton *>(c)) {
        button->setCheckable(true);
        button->setChecked(checked);
    }
}

void WidgetSurface::setCaption(const QString &name, const QString &caption)
{
    QObject *c = control(name);
    if (auto *action = qobject_cast<QAction *>(c)) {
        if (name.startsWith(QLatin1String("mnuRecent")) && name.back().isDigit()) {
            // A file path, not a caption: "&" is a letter here, and an empty slot shows nothing.
            QString text = caption;
            action->setText(text.replace(QLatin1Char('&'), QLatin1String("&&")));
            action->setVisible(!caption.isEmpty());
        } else {
            action->setText(caption);
        }
    } else if (auto *button = qobject_cast<QAbstractButton *>(c)) {
        button->setText(caption);
    } else if (auto *label = qobject_cast<QLabel *>(c)) {
        label->setText(caption);
        setAnnouncedName(label, caption.isEmpty() ? label->accessibleDescription() : caption);
    }
}

void WidgetSurface::setFocus(const QString &name)
{
    if (auto *widget = qobject_cast<QWidget *>(control(name)))
        widget->setFocus(Qt::OtherFocusReason);
}

void WidgetSurface::setPicture(const QString &name, const QString &picture)
{
    auto *button = qobject_cast<QAbstractButton *>(control(name));
    if (!button)
        return;
    button->setProperty("picture", picture);
    button->setIcon(ArrowPictures::icon(name, picture));
    if (button->isCheckable())
        button->setChecked(picture == QLatin1String("highlighted") || picture == QLatin1String("enabled") ||
                           picture == QLatin1String("open"));
    if (ArrowPictures::replacesCaption(name))
        button->setText(QString());
}

void WidgetSurface::setToolTip(const QString &name, const QString &text)
{
    if (auto *widget = qobject_cast<QWidget *>(control(name)))
        widget->setToolTip(text);
}

void WidgetSurface::setCaret(const QString &name, int position)
{
    if (auto *edit = qobject_cast<QLineEdit *>(control(name)))
        edit->setCursorPosition(position);
}

void WidgetSurface::setBusy(bool busy)
{
    if (busy == busy_)
        return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void WidgetSurface::repaint()
{
    window_->repaint();
}

void WidgetSurface::messageBox(const QString &title, const QString &text, MessageIcon icon)
{
    QMessageBox::Icon shape = QMessageBox::NoIcon;
    switch (icon) {
    case MessageIcon::None: break;
    case MessageIcon::Information: shape = QMessageBox::Information; break;
    case MessageIcon::Warning: shape = QMessageBox::Warning; break;
    case MessageIcon::Critical: shape = QMessageBox::Critical; break;
    }
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(shape, title, shown, QMessageBox::Ok, window_);
    box.setAccessibleName(title);
    // The normal pointer while the box waits for an answer.
    const bool wasBusy = busy_;
    setBusy(false);
    box.exec();
    setBusy(wasBusy);
}

QStringList WidgetSurface::toNameFilters(const QString &filter)
{
    QStringList out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')).simplified();
        if (!description.contains(QLatin1Char('(')))
            description += QStringLiteral(" (") + patterns + QLatin1Char(')');
        out << description;
    }
    if (parts.size() % 2 == 1 && !parts.back().trimmed().isEmpty())
        out << parts.back().trimmed();
    return out;
}

std::optional<QString> WidgetSurface::openFileDialog(const FileDialogRequest &request)
{
    return fileDialog(request, false);
}

std::optional<QString> WidgetSurface::saveFileDialog(const FileDialogRequest &request)
{
    return fileDialog(request, true);
}

std::optional<QString> WidgetSurface::fileDialog(const FileDialogRequest &request, bool save)
{
    QFileDialog dialog(window_, request.title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = toNameFilters(request.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    QString suffix = request.defaultSuffix;
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);

    // The initial path is a folder followed by a proposed name or a pattern such as "*.lmd".
    const QString path = QDir::fromNativeSeparators(request.initialPath);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash >= 0 ? path.left(slash + 1) : QString();
    const QString name = path.mid(slash + 1);
    if (!folder.isEmpty() && QDir(folder).exists())
        dialog.setDirectory(folder);
    if (!name.isEmpty() && !name.contains(QLatin1Char('*')) && !name.contains(QLatin1Char('?')))
        dialog.selectFile(name);

    const bool wasBusy = busy_;
    setBusy(false);
    const bool accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    setBusy(wasBusy);
    if (!accepted)
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}
