#include "gui/kit/DialogBuilder.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRawFont>
#include <QRegularExpressionValidator>
#include <QTableView>

#include <cmath>

namespace rm {
namespace {

Qt::Alignment alignmentOf(std::uint32_t style)
{
    Qt::Alignment vertical = (style & CenterImage) ? Qt::AlignVCenter : Qt::AlignTop;
    if (style & AlignRight)
        return Qt::AlignRight | vertical;
    if (style & AlignCenter)
        return Qt::AlignHCenter | vertical;
    return Qt::AlignLeft | vertical;
}

QLineEdit* createEdit(QWidget* parent, const ControlTemplate& c)
{
    auto* edit = new QLineEdit(QString::fromStdString(c.caption), parent);
    if (c.style & Password)
        edit->setEchoMode(QLineEdit::Password);
    if (c.style & ReadOnly)
        edit->setReadOnly(true);
    if (c.style & DigitsOnly)
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    edit->setAlignment(alignmentOf(c.style) & Qt::AlignHorizontal_Mask);
    return edit;
}

// A report view: one line per item, left-aligned column headings, items
// selected whole, several at a time.
QTableView* createListView(QWidget* parent, const ControlTemplate& c)
{
    auto* list = new QTableView(parent);
    list->verticalHeader()->hide();
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);
    list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list->horizontalHeader()->setHighlightSections(false);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setShowGrid(false);
    list->setWordWrap(false);
    list->setFrameShape((c.style & Bordered) ? QFrame::StyledPanel : QFrame::NoFrame);
    return list;
}

QWidget* create(QWidget* parent, const ControlTemplate& c)
{
    const QString caption = QString::fromStdString(c.caption);
    switch (c.kind) {
    case ControlKind::GroupBox:
        return new QGroupBox(caption, parent);
    case ControlKind::Static: {
        auto* label = new QLabel(parent);
        label->setTextFormat(Qt::PlainText);
        label->setText(caption);
        label->setAlignment(alignmentOf(c.style));
        return label;
    }
    case ControlKind::Picture: {
        auto* picture = new QLabel(parent);
        picture->setPixmap(QPixmap(QString(":/images/bitmap%1.png").arg(c.resource)));
        picture->setScaledContents(true);
        return picture;
    }
    case ControlKind::Frame: {
        auto* frame = new QFrame(parent);
        // One unit high or wide: a thin line.
        frame->setFrameShape(c.height == 1 ? QFrame::HLine : c.width == 1 ? QFrame::VLine : QFrame::Box);
        frame->setFrameShadow(QFrame::Sunken);
        return frame;
    }
    case ControlKind::PushButton:
    case ControlKind::DefPushButton: {
        auto* button = new QPushButton(caption, parent);
        button->setDefault(c.kind == ControlKind::DefPushButton);
        return button;
    }
    case ControlKind::RadioButton:
        return new QRadioButton(caption, parent);
    case ControlKind::CheckBox:
        return new QCheckBox(caption, parent);
    case ControlKind::Edit:
        return createEdit(parent, c);
    case ControlKind::ListView:
        return createListView(parent, c);
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(parent);
        bar->setTextVisible(false);
        return bar;
    }
    case ControlKind::ComboBox:
        return new QComboBox(parent);
    }
    return new QWidget(parent);
}

} // namespace

QFont DialogBuilder::dialogFont(const DialogTemplate& dialog)
{
    QFont font(QString::fromStdString(dialog.fontFamily), dialog.fontPointSize);
    if (!QFontDatabase::families().contains(font.family(), Qt::CaseInsensitive)) {
        font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        font.setPointSize(dialog.fontPointSize);
    }
    return font;
}

DialogUnits DialogBuilder::unitsFor(const QFont& font)
{
    QFontMetrics metrics(font);
    // The platform's font height counts the font's Windows ascent and descent
    // (its OS/2 table), each rounded to pixels; the toolkit's own height
    // leaves out the internal leading and would squeeze every dialog.
    int height = metrics.height();
    const QRawFont raw = QRawFont::fromFont(font);
    const QByteArray os2 = raw.fontTable("OS/2");
    if (os2.size() >= 78 && raw.unitsPerEm() > 0) {
        const double scale = raw.pixelSize() / raw.unitsPerEm();
        const auto word = [&os2](int at) { return (quint8(os2.at(at)) << 8) | quint8(os2.at(at + 1)); };
        const int ascent = word(74);
        const int descent = word(76);
        height = int(std::lround(ascent * scale) + std::lround(descent * scale));
    }
    return DialogUnits(
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"), height);
}

std::multimap<int, QWidget*> DialogBuilder::build(QWidget* dialog, const DialogTemplate& t,
                                                  const DialogUnits& units)
{
    std::multimap<int, QWidget*> items;
    QButtonGroup* radios = nullptr;
    for (const ControlTemplate& c : t.controls) {
        QWidget* w = create(dialog, c);
        w->setObjectName(QString::number(c.id));
        const Rect r = units.toPixels(c.x, c.y, c.width, c.height);
        w->setGeometry(r.left, r.top, r.width(), r.height());
        // Static texts wrap at word boundaries where they have room for more lines.
        if (auto* label = qobject_cast<QLabel*>(w); label && c.kind == ControlKind::Static)
            label->setWordWrap(r.height() >= 2 * units.baseY());
        w->setEnabled(!(c.style & Disabled));
        w->setVisible(!(c.style & Hidden));

        // Radio buttons between two group starts exclude one another.
        if (c.style & GroupStart)
            radios = nullptr;
        if (auto* radio = qobject_cast<QRadioButton*>(w)) {
            if (!radios)
                radios = new QButtonGroup(dialog);
            radios->addButton(radio, c.id);
        }
        items.emplace(c.id, w);
    }
    return items;
}

} // namespace rm
