#pragma once

#include "gui/resources/DialogTemplate.h"
#include "gui/kit/DialogControls.h"
#include "gui/kit/DialogUnits.h"

#include <QDialog>

#include <map>

namespace rm {

// A dialog built from one of the program's templates: its controls, font and
// client size come from the template, and its logic reaches the controls by
// their identifiers, as item(id) or through DialogControls.
class TemplateDialog : public QDialog, public DialogControls {
    Q_OBJECT
public:
    TemplateDialog(int templateId, QWidget* parent);

    QWidget* item(int id) const;
    template <class T>
    T* itemAs(int id) const
    {
        return qobject_cast<T*>(item(id));
    }

    // Puts a control of another class in the place of control `id`, keeping
    // its position, caption, font, state and stacking (as a dialog subclasses
    // one of its controls).
    template <class T>
    T* subclassItem(int id)
    {
        QWidget* old = item(id);
        auto* replacement = new T(this);
        replaceItem(id, old, replacement);
        return replacement;
    }

    std::string text(int id) const override;
    void setText(int id, const std::string& text) override;
    bool isChecked(int id) const override;
    void setChecked(int id, bool checked) override;
    bool isEnabled(int id) const override;
    void setEnabled(int id, bool enabled) override;
    void setVisible(int id, bool visible) override;
    void setFocus(int id) override;
    void selectAllText(int id) override;
    using QDialog::setEnabled;
    using QDialog::setFocus;
    using QDialog::setVisible;

private:
    void replaceItem(int id, QWidget* old, QWidget* replacement);

    const DialogTemplate& template_;
    DialogUnits units_;
    std::multimap<int, QWidget*> items_;
};

} // namespace rm
