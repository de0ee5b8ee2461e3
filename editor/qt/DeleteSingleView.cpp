#include "editor/qt/DeleteSingleView.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>

#include "platform/ui/qt/QtConvert.h"

namespace wendra {

namespace {

using ui::qt::ButtonBinder;
using ui::qt::CheckBoxBinder;
using ui::qt::ControlBinder;
using ui::qt::FrameBinder;
using ui::qt::LabelBinder;
using ui::qt::PictureBinder;

// A badge: a symbol in the mode's colour and its name beside it.
QIcon drawBadge(const QString& word, QColor colour, bool cross) {
    QPixmap pixmap(200, 58);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour.darker(130), 3));
    p.setBrush(colour.lighter(185));
    p.drawRoundedRect(QRectF(2, 2, 196, 54), 12, 12);
    p.setPen(QPen(colour, 7, Qt::SolidLine, Qt::RoundCap));
    if (cross) {
        p.drawLine(20, 15, 42, 43);
        p.drawLine(42, 15, 20, 43);
    } else {
        // An eye, struck through.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(colour, 4));
        p.drawEllipse(QRectF(12, 18, 38, 22));
        p.setBrush(colour);
        p.drawEllipse(QRectF(25, 23, 12, 12));
        p.setPen(QPen(colour, 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(14, 46, 48, 12);
    }
    QFont f = p.font();
    f.setPixelSize(30);
    f.setBold(true);
    p.setFont(f);
    p.setPen(colour.darker(150));
    p.drawText(QRectF(60, 0, 136, 58), Qt::AlignVCenter | Qt::AlignLeft, word);
    p.end();
    return QIcon(pixmap);
}

}  // namespace

ui::qt::QtImageList drawnRecommendImages() {
    ui::qt::QtImageList images;
    images.add("imgDelete", drawBadge("Delete", QColor(192, 0, 0), true));
    images.add("imgHide", drawBadge("Hide", QColor(64, 96, 160), false));
    return images;
}

HideDeleteView::HideDeleteView(HideDeleteForm& form, QWidget* parent)
    : ui::qt::QtFormDialog(form, parent), images_(drawnRecommendImages()) {
    // No layout: the widgets stand where the form's geometry puts them, so that
    // standalone mode's shorter dialog cuts off the override frame as designed.
    for (ui::Label* l : {&form.Label2, &form.Label3, &form.Label4, &form.Label1}) addLabel(*l);
    lblDesc_ = addLabel(form.lblDesc);
    addLabel(form.lblDate);
    lblOccurs_ = addLabel(form.lblOccurs);
    imgRecommend_ = new QLabel(this);
    binders_.push_back(std::make_unique<PictureBinder>(form.imgRecommend, imgRecommend_, images_));

    auto* frameButtons = new QWidget(this);
    cmdHide_ = new QPushButton(frameButtons);
    cmdCancel_ = new QPushButton(frameButtons);
    binders_.push_back(std::make_unique<ControlBinder>(form.frameButtons, frameButtons));
    binders_.push_back(std::make_unique<ButtonBinder>(form.cmdHide, cmdHide_));
    binders_.push_back(std::make_unique<ButtonBinder>(form.cmdCancel, cmdCancel_));

    frameWarning_ = new QGroupBox(this);
    auto* label6 = new QLabel(frameWarning_);
    auto* label5 = new QLabel(frameWarning_);
    chkChange_ = new QCheckBox(frameWarning_);
    cmdMoreInfo_ = new QPushButton(frameWarning_);
    binders_.push_back(std::make_unique<FrameBinder>(form.frameWarning, frameWarning_));
    binders_.push_back(std::make_unique<LabelBinder>(form.Label6, label6));
    binders_.push_back(std::make_unique<LabelBinder>(form.Label5, label5));
    binders_.push_back(std::make_unique<CheckBoxBinder>(form.chkChange, chkChange_));
    binders_.push_back(std::make_unique<ButtonBinder>(form.cmdMoreInfo, cmdMoreInfo_));
    // None of the buttons is pressed by Enter unless it has the focus: the action
    // removes an event and must be chosen.
    for (QPushButton* b : {cmdHide_, cmdCancel_, cmdMoreInfo_}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    QObject::connect(help, &QShortcut::activated, this, [&form] { ui::qt::guarded("help", [&form] { form.showHelp(); }); });
}

HideDeleteView::~HideDeleteView() = default;

QLabel* HideDeleteView::addLabel(ui::Label& label) {
    auto* widget = new QLabel(this);
    binders_.push_back(std::make_unique<LabelBinder>(label, widget));
    return widget;
}

DeleteSingleView::DeleteSingleView(frmDeleteSingle& form, QWidget* parent) : HideDeleteView(form, parent) {}

void registerDeleteSingleView(ui::qt::QtDialogRunner& runner) {
    runner.registerView(frmDeleteSingle::kFormName,
                        [](ui::Form& form, QWidget* parent) -> std::unique_ptr<ui::qt::QtFormDialog> {
                            auto* dialog = dynamic_cast<frmDeleteSingle*>(&form);
                            if (dialog == nullptr) return nullptr;
                            return std::make_unique<DeleteSingleView>(*dialog, parent);
                        });
}

}  // namespace wendra
