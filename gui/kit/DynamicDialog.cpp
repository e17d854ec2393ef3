#include "gui/kit/DynamicDialog.h"

#include <QResizeEvent>
#include <QSizeGrip>

namespace rm {

DynamicDialog::DynamicDialog(int templateId, QWidget* parent) : TemplateDialog(templateId, parent)
{
}

Size DynamicDialog::clientSize() const
{
    return {width(), height()};
}

void DynamicDialog::setUpLayout(int freedom, int options)
{
    const Size initial = clientSize();
    layout_.setUp(initial);
    setMinimumSize(initial.width, initial.height);
    // A direction that may not be resized keeps its size.
    setMaximumSize((freedom & ResizeHorizontally) ? QWIDGETSIZE_MAX : initial.width,
                   (freedom & ResizeVertically) ? QWIDGETSIZE_MAX : initial.height);
    // ReducedRepainting needs nothing here: the toolkit repaints only what
    // changed while a border is dragged, and a layout pass holds painting back.
    if (options & ShowSizeGrip) {
        grip_ = new QSizeGrip(this);
        grip_->setObjectName(QString::number(SizeGripId));
        const QSize hint = grip_->sizeHint();
        grip_->setGeometry(initial.width - hint.width(), initial.height - hint.height(),
                           hint.width(), hint.height());
        grip_->show();
        addControl(grip_, LayoutMode::Move, LayoutMode::Move);
        layoutControls();
    }
}

void DynamicDialog::addControl(int id, LayoutMode horizontal, LayoutMode vertical,
                                int minimumWidth, int minimumHeight, bool repositionNow)
{
    addControl(item(id), horizontal, vertical, minimumWidth, minimumHeight, repositionNow);
}

void DynamicDialog::addControl(QWidget* control, LayoutMode horizontal, LayoutMode vertical,
                                int minimumWidth, int minimumHeight, bool repositionNow)
{
    if (!control)
        return;
    const QRect g = control->geometry();
    layout_.addControl(control, {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()},
                       horizontal, vertical, minimumWidth, minimumHeight);
    if (repositionNow && layout_.hasGrown(clientSize()))
        placeOne(control, layout_.info(clientSize()));
}

void DynamicDialog::placeOne(QWidget* child, const DynamicLayoutInfo& info)
{
    if (auto r = layout_.place(child, info)) {
        const QRect target(r->left, r->top, r->width(), r->height());
        if (child->geometry() != target)
            child->setGeometry(target);
    }
}

void DynamicDialog::layoutControls()
{
    const DynamicLayoutInfo info = layout_.info(clientSize());
    // One pass with painting held back, so the window repaints once.
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);
    for (QObject* child : children())
        if (auto* w = qobject_cast<QWidget*>(child); w && !w->isWindow())
            placeOne(w, info);
    setUpdatesEnabled(updates);
}

void DynamicDialog::resizeEvent(QResizeEvent* event)
{
    TemplateDialog::resizeEvent(event);
    if (!isMinimized())
        layoutControls();
}

} // namespace rm
