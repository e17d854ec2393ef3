#include "gui/kit/LinkLabel.h"

#include "gui/resources/StringTable.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace rm {

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAutoFillBackground(true);
}

void LinkLabel::attach(Shell& shell, Prompter& prompter)
{
    shell_ = &shell;
    prompter_ = &prompter;
    if (target_.isEmpty())
        target_ = text();
    if (text().isEmpty())
        setText(target_);
    QFont linkFont = font();
    linkFont.setUnderline(model_.has(LinkUnderline));
    setFont(linkFont);
    sizeToText();
    if (!model_.has(LinkNoHandCursor))
        setCursor(Qt::PointingHandCursor);
    setToolTip(target_);
    attached_ = true;
    applyColour();
}

void LinkLabel::setTarget(const QString& target)
{
    target_ = target;
    if (!attached_)
        return;
    hide();
    sizeToText();
    setToolTip(target_);
    show();
}

void LinkLabel::sizeToText()
{
    if (!model_.has(LinkSizeToText))
        return;
    const QSize text = fontMetrics().size(Qt::TextSingleLine, this->text());
    const int frame = frameWidth() * 2;
    QRect r = geometry();
    const int w = text.width() + frame;
    const int h = text.height() + frame;
    int top = r.top();
    if (alignment() & Qt::AlignVCenter)
        top += (r.height() - h) / 2;
    int left = r.left();
    if (alignment() & Qt::AlignHCenter)
        left += (r.width() - w) / 2;
    else if (alignment() & Qt::AlignRight)
        left = r.right() + 1 - w;
    setGeometry(left, top, w, h);
    update();
}

void LinkLabel::applyColour()
{
    const Rgb c = model_.colour();
    QPalette p = palette();
    p.setColor(QPalette::WindowText, QColor(c.red, c.green, c.blue));
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    update();
}

void LinkLabel::setHovering(bool hovering)
{
    if (hovering == model_.hovering())
        return;
    if (hovering)
        model_.pointerEntered();
    else
        model_.pointerLeft();
    applyColour();
}

void LinkLabel::enterEvent(QEnterEvent*)
{
    setHovering(true);
}

void LinkLabel::leaveEvent(QEvent*)
{
    setHovering(false);
}

void LinkLabel::mouseMoveEvent(QMouseEvent* event)
{
    // While the button is held the toolkit keeps sending moves here, even
    // off the control: leaving lets go of the link, coming back takes it again.
    setHovering(rect().contains(event->position().toPoint()));
}

void LinkLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (model_.has(LinkFocusOnClick))
        QLabel::setFocus(Qt::MouseFocusReason);
    if (model_.buttonPressed())
        open();
    applyColour();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton
        && model_.buttonReleased(rect().contains(event->position().toPoint())))
        open();
}

void LinkLabel::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space)
        open();
    else
        QLabel::keyPressEvent(event);
}

void LinkLabel::focusInEvent(QFocusEvent* event)
{
    QLabel::focusInEvent(event);
    model_.focusGained();
    applyColour();
}

void LinkLabel::focusOutEvent(QFocusEvent* event)
{
    QLabel::focusOutEvent(event);
    model_.focusLost();
    applyColour();
}

void LinkLabel::open()
{
    if (!shell_)
        return;
    if (auto failure = model_.opened(shell_->open(target_.toStdString()))) {
        prompter_->beep();
        prompter_->show({loadString(IdsApplicationTitle), *failure, MessageButtons::Ok,
                         MessageIcon::Exclamation});
    }
    applyColour();
}

} // namespace rm
