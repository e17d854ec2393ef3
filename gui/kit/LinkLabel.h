#pragma once

#include "core/ports/Prompter.h"
#include "core/ports/Shell.h"
#include "gui/kit/LinkLabelModel.h"

#include <QLabel>

namespace rm {

// A static text that is a hyperlink: link colours, underlined, a hand cursor
// and a tooltip with the target, opened through the shell on a click or the
// space bar.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent);

    // Done once the control stands in its dialog: takes the caption as the
    // target (or shows the target as the caption), sets the link font,
    // sizes to the text, the cursor and the tooltip.
    void attach(Shell& shell, Prompter& prompter);
    void setTarget(const QString& target);
    QString target() const { return target_; }
    const LinkLabelModel& model() const { return model_; }
    void setOptions(std::uint32_t options) { model_.setOptions(options); }

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void open();
    void sizeToText();
    void applyColour();
    void setHovering(bool hovering);

    LinkLabelModel model_;
    QString target_;
    Shell* shell_ = nullptr;
    Prompter* prompter_ = nullptr;
    bool attached_ = false;
};

} // namespace rm
