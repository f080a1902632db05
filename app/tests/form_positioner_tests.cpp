// Remembered window places: per operator, under the screen's name, never
// below the screen's minimum size; nothing saved yet places the screen over
// the main window.
#include "common/form_positioner.h"
#include "temp_settings.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace velumar {
namespace {

TEST(FormPositioner, SavesUnderTheOperatorAndRestoresNoSmallerThanTheMinimum) {
    testing::TempSettings settings;
    const FormPositioner positioner("jsmith", settings.Store());
    QWidget screen;
    screen.setGeometry(40, 30, 300, 200);
    positioner.Save(screen, "frmRecordSets_Export");

    auto stored = settings.Open();
    EXPECT_EQ(stored->value("jsmith/frmRecordSets_ExportTop").toString(), "30");
    EXPECT_EQ(stored->value("jsmith/frmRecordSets_ExportLeft").toString(), "40");
    EXPECT_EQ(stored->value("jsmith/frmRecordSets_ExportHeight").toString(), "200");
    EXPECT_EQ(stored->value("jsmith/frmRecordSets_ExportWidth").toString(), "300");

    QWidget again;
    positioner.Restore(again, "frmRecordSets_Export", QSize(350, 150), nullptr);
    EXPECT_EQ(again.geometry(), QRect(40, 30, 350, 200));
}

TEST(FormPositioner, WithNothingSavedTheScreenIsCentredOverTheMainWindow) {
    testing::TempSettings settings;
    auto seed = settings.Open();
    seed->setValue("jsmith/frmJobLogTop", "10"); // one key alone is not a place
    seed.reset();
    QWidget main;
    main.setGeometry(100, 100, 600, 400);
    QWidget screen;
    screen.resize(200, 100);

    FormPositioner("jsmith", settings.Store()).Restore(screen, "frmJobLog", QSize(250, 80), &main);

    EXPECT_EQ(screen.size(), QSize(250, 100));
    EXPECT_EQ(screen.frameGeometry().center(), main.frameGeometry().center());
    // Another operator's places are their own.
    FormPositioner("other", settings.Store()).Save(screen, "frmJobLog");
    EXPECT_EQ(settings.Open()->value("jsmith/frmJobLogTop").toString(), "10");
}

} // namespace
} // namespace velumar
