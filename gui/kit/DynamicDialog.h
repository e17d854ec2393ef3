#pragma once

#include "gui/kit/TemplateDialog.h"
#include "gui/kit/DynamicLayout.h"

class QSizeGrip;

namespace rm {

enum LayoutFreedom { ResizeHorizontally = 1, ResizeVertically = 2 };
enum LayoutOptions { ShowSizeGrip = 1, ReducedRepainting = 2 };

// A resizable template dialog: registered controls keep their relation to
// the window's edges, and the window never gets smaller than it was built.
class DynamicDialog : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr int SizeGripId = 59936;

    DynamicDialog(int templateId, QWidget* parent);

    // Call from initialisation, before any control is registered.
    void setUpLayout(int freedom, int options);
    void addControl(int id, LayoutMode horizontal, LayoutMode vertical, int minimumWidth = 0,
                    int minimumHeight = 0, bool repositionNow = false);
    void addControl(QWidget* control, LayoutMode horizontal, LayoutMode vertical,
                    int minimumWidth = 0, int minimumHeight = 0, bool repositionNow = false);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void layoutControls();

private:
    Size clientSize() const;
    void placeOne(QWidget* child, const DynamicLayoutInfo& info);

    DynamicLayout layout_;
    QSizeGrip* grip_ = nullptr;
};

} // namespace rm
