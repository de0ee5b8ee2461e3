#pragma once

// One QApplication for a test program whose tests draw real widgets, made before
// the first test and ended after the last. Including this header is enough: the
// environment registers itself once per program.

#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <QStyleFactory>
#include <memory>

namespace wendra::test {

class QtTestEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QApplication>(argc_, argv_);
        // One style everywhere, so sizes in the pictures do not follow the desktop.
        QApplication::setStyle(QStyleFactory::create("Fusion"));
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "wendra-test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

inline ::testing::Environment* const kQtTestEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtTestEnvironment);

// Where a test's picture goes: into WENDRA_GRAB_DIR to keep it, else into the
// test's own temporary folder.
inline QString grabPath(const QString& ownFolder, const QString& file) {
    const QByteArray keep = qgetenv("WENDRA_GRAB_DIR");
    return (keep.isEmpty() ? ownFolder : QString::fromLocal8Bit(keep)) + "/" + file;
}

}  // namespace wendra::test
