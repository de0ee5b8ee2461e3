#include "platform/outlook/qt/QtAppointmentWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>
#include <string>

#include "platform/outlook/AppointmentForm.h"
#include "platform/ui/qt/QtConvert.h"

namespace wendra::outlook::qt {

namespace {

// Results of the dialog besides Close (0).
constexpr int kSaved = 1;
constexpr int kDeleted = 2;

constexpr Repeat kChoices[] = {Repeat::none, Repeat::daily, Repeat::weekly, Repeat::monthly, Repeat::yearly,
                               Repeat::other};
const char* kChoiceTexts[] = {"Does not repeat", "Daily", "Weekly", "Monthly", "Yearly", "As set elsewhere"};

QDateTime toQt(DateTime d) {
    return QDateTime(QDate(d.year(), d.month(), d.day()), QTime(d.hour(), d.minute(), d.second()));
}

DateTime fromQt(const QDateTime& q) {
    return DateTime::fromParts(q.date().year(), q.date().month(), q.date().day(), q.time().hour(), q.time().minute(),
                               q.time().second())
        .value_or(DateTime());
}

class AppointmentDialog final : public QDialog {
public:
    AppointmentDialog(const AppointmentFields& f, QWidget* parent) : QDialog(parent) {
        setObjectName("appointmentWindow");
        setWindowTitle(f.subject.empty() ? QStringLiteral("Appointment")
                                         : ui::qt::toQString(f.subject) + QStringLiteral(" - Appointment"));
        setModal(true);
        setMinimumWidth(360);

        subject_ = new QLineEdit(ui::qt::toQString(f.subject), this);
        subject_->setObjectName("subject");
        start_ = new QDateTimeEdit(toQt(f.start), this);
        start_->setObjectName("start");
        start_->setCalendarPopup(true);
        allDay_ = new QCheckBox(QStringLiteral("All day"), this);
        allDay_->setObjectName("allDay");
        allDay_->setChecked(f.allDay);
        duration_ = new QSpinBox(this);
        duration_->setObjectName("duration");
        duration_->setRange(0, 999999);
        duration_->setSuffix(QStringLiteral(" min"));
        duration_->setValue(static_cast<int>(f.duration));
        repeat_ = new QComboBox(this);
        repeat_->setObjectName("repeat");
        for (std::size_t i = 0; i < std::size(kChoices); ++i) {
            // A pattern the window cannot show is offered only where there is one.
            if (kChoices[i] == Repeat::other && f.repeat != Repeat::other) continue;
            repeat_->addItem(QString::fromUtf8(kChoiceTexts[i]), static_cast<int>(kChoices[i]));
        }
        repeat_->setCurrentIndex(repeat_->findData(static_cast<int>(f.repeat)));
        repeat_->setEnabled(!f.occurrence);

        auto* form = new QFormLayout;
        form->addRow(QStringLiteral("Subject:"), subject_);
        form->addRow(QStringLiteral("Start:"), start_);
        form->addRow(QString(), allDay_);
        form->addRow(QStringLiteral("Duration:"), duration_);
        form->addRow(QStringLiteral("Repeats:"), repeat_);

        auto* buttons = new QDialogButtonBox(this);
        auto* save = buttons->addButton(QStringLiteral("Save"), QDialogButtonBox::AcceptRole);
        save->setObjectName("save");
        save->setDefault(true);
        auto* remove = buttons->addButton(QStringLiteral("Delete"), QDialogButtonBox::DestructiveRole);
        remove->setObjectName("delete");
        auto* close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
        close->setObjectName("close");
        connect(save, &QPushButton::clicked, this, [this] {
            if (!onSave || onSave()) done(kSaved);
        });
        connect(remove, &QPushButton::clicked, this, [this] { done(kDeleted); });
        connect(close, &QPushButton::clicked, this, [this] { done(0); });
        connect(allDay_, &QCheckBox::toggled, this, [this](bool on) { showAllDay(on); });
        showAllDay(f.allDay);

        auto* layout = new QVBoxLayout(this);
        layout->addLayout(form);
        layout->addWidget(buttons);
    }

    // Save asks this first; false keeps the window open.
    std::function<bool()> onSave;

    AppointmentFields fields(AppointmentFields f) const {
        f.subject = ui::qt::fromQString(subject_->text());
        f.start = fromQt(start_->dateTime());
        f.allDay = allDay_->isChecked();
        f.duration = duration_->value();
        f.repeat = static_cast<Repeat>(repeat_->currentData().toInt());
        return f;
    }

private:
    // An all-day appointment shows its day alone and lasts its days.
    void showAllDay(bool on) {
        start_->setDisplayFormat(on ? QStringLiteral("dd MMM yyyy") : QStringLiteral("dd MMM yyyy HH:mm"));
        duration_->setEnabled(!on);
    }

    QLineEdit* subject_;
    QDateTimeEdit* start_;
    QCheckBox* allDay_;
    QSpinBox* duration_;
    QComboBox* repeat_;
};

}  // namespace

void QtAppointmentWindow::show(AppointmentItem& item) {
    const AppointmentFields before = readFields(item);
    AppointmentDialog dialog(before, parent_);
    // A save the calendar refuses (a file that cannot be written, say) tells why
    // and keeps the window open with what was typed, to be saved again or closed.
    // The item is given back the changes it held before the Save was tried, so
    // that none of the window's stays in it unsaved.
    dialog.onSave = [&] {
        const AppointmentFields typed = dialog.fields(before);
        const std::function<void()> giveBack = item.keepChanges();
        std::string why;
        try {
            saveFields(item, before, typed);
            return true;
        } catch (const Error& e) {
            why = e.Description();
        } catch (const std::exception& e) {
            why = e.what();
        }
        try {
            if (giveBack) giveBack();
            else applyFields(item, typed, before);
        } catch (const std::exception&) {
            // What cannot be given back stays unsaved; the calendar never holds it.
        }
        QMessageBox::critical(&dialog, dialog.windowTitle(), QString::fromStdString(why));
        return false;
    };
    if (onShown) QTimer::singleShot(0, &dialog, [this, &dialog] { onShown(dialog); });
    if (dialog.exec() == kDeleted) item.Delete();
}

}  // namespace wendra::outlook::qt
