#include "gui/kit/TemplateDialog.h"

#include "gui/kit/DialogBuilder.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace rm {

TemplateDialog::TemplateDialog(int templateId, QWidget* parent)
    : QDialog(parent), template_(rm::dialogTemplate(templateId)),
      units_(DialogBuilder::unitsFor(DialogBuilder::dialogFont(template_)))
{
    setObjectName(QString::number(templateId));
    setFont(DialogBuilder::dialogFont(template_));
    setWindowTitle(QString::fromStdString(template_.title));
    items_ = DialogBuilder::build(this, template_, units_);
    // As the platform's dialogs do: the OK and Cancel identifiers end the dialog.
    if (auto* ok = itemAs<QAbstractButton>(IdOk))
        connect(ok, &QAbstractButton::clicked, this, &QDialog::accept);
    if (auto* cancel = itemAs<QAbstractButton>(IdCancel))
        connect(cancel, &QAbstractButton::clicked, this, &QDialog::reject);
    resize(units_.toPixelsX(template_.width), units_.toPixelsY(template_.height));
}

QWidget* TemplateDialog::item(int id) const
{
    auto it = items_.find(id);
    return it == items_.end() ? nullptr : it->second;
}

void TemplateDialog::replaceItem(int id, QWidget* old, QWidget* replacement)
{
    if (!old) {
        items_.emplace(id, replacement);
        return;
    }
    replacement->setObjectName(old->objectName());
    replacement->setGeometry(old->geometry());
    replacement->setFont(old->font());
    replacement->setEnabled(old->isEnabled());
    if (auto* from = qobject_cast<QLabel*>(old)) {
        if (auto* to = qobject_cast<QLabel*>(replacement)) {
            to->setTextFormat(from->textFormat());
            to->setAlignment(from->alignment());
            to->setText(from->text());
        }
    }
    replacement->stackUnder(old);
    replacement->setVisible(!old->isHidden());
    for (auto it = items_.begin(); it != items_.end(); ++it) {
        if (it->second == old) {
            it->second = replacement;
            break;
        }
    }
    delete old;
}

std::string TemplateDialog::text(int id) const
{
    QWidget* w = item(id);
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text().toStdString();
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text().toStdString();
    if (auto* group = qobject_cast<QGroupBox*>(w))
        return group->title().toStdString();
    return w ? w->windowTitle().toStdString() : std::string();
}

void TemplateDialog::setText(int id, const std::string& text)
{
    QWidget* w = item(id);
    const QString s = QString::fromStdString(text);
    if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(s);
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(s);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(s);
    else if (auto* group = qobject_cast<QGroupBox*>(w))
        group->setTitle(s);
}

bool TemplateDialog::isChecked(int id) const
{
    auto* button = itemAs<QAbstractButton>(id);
    return button && button->isChecked();
}

void TemplateDialog::setChecked(int id, bool checked)
{
    if (auto* button = itemAs<QAbstractButton>(id))
        button->setChecked(checked);
}

bool TemplateDialog::isEnabled(int id) const
{
    QWidget* w = item(id);
    return w && w->isEnabled();
}

void TemplateDialog::setEnabled(int id, bool enabled)
{
    if (QWidget* w = item(id))
        w->setEnabled(enabled);
}

void TemplateDialog::setVisible(int id, bool visible)
{
    if (QWidget* w = item(id))
        w->setVisible(visible);
}

void TemplateDialog::setFocus(int id)
{
    if (QWidget* w = item(id))
        w->setFocus(Qt::OtherFocusReason);
}

void TemplateDialog::selectAllText(int id)
{
    if (auto* edit = itemAs<QLineEdit>(id))
        edit->selectAll(); // leaves the caret at the end, in view
}

} // namespace rm
