// The palette viewer, the enemy data window and the Qt form of the file dialog filters.

#include "graphics/Gba.h"
#include "graphics/frmPal.h"
#include "main/EditorState.h"
#include "main/QtDialogs.h"
#include "sprites/frmED.h"

#include "ScriptedDialogs.h"
#include "TempFolder.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QtTest>

#include <fstream>

namespace quarnel {

using testing::ScriptedDialogs;
using testing::TempFolder;

namespace {

template <class T>
T* Child(QWidget& window, const char* name) {
    auto* child = window.findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) {
        qFatal("no control %s", name);
    }
    return child;
}

std::string Text(const QString& text) {
    return text.toStdString();
}

} // namespace

class SideWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void paletteSwatchesShowTheColourTable();
    void palettePreviewAndRightClick();
    void enemyListsNameEverySet();
    void enemyChoiceChangesTheHeader();
    void enemyCaptionAndPointers();
    void fileFilters_data();
    void fileFilters();

private:
    TempFolder m_folder;
    EditorState NewState() const { return EditorState(m_folder / "os.bin"); }
};

void SideWindowsTest::paletteSwatchesShowTheColourTable() {
    EditorState state = NewState();
    ScriptedDialogs dialogs;
    frmPal window(state, dialogs);
    QCOMPARE(Text(window.windowTitle()), "DEBUG");
    QCOMPARE(Text(Child<QLabel>(window, "lblPal10")->text()), "Pal: A");
    // Before any room is loaded every swatch is black.
    for (int i = 0; i < 256; ++i) {
        QCOMPARE(window.SwatchColour(i), QColor(Qt::black));
    }

    for (size_t i = 0; i < 256; ++i) {
        state.Graphics.Colours[i] = PixelFromGbaColour(static_cast<uint16_t>(i * 0x81));
    }
    QCOMPARE(window.SwatchColour(0x23), QColor(Qt::black)); // until the window loads again
    window.show();
    for (size_t i = 0; i < 256; ++i) {
        const uint32_t c = state.Graphics.Colours[i];
        QCOMPARE(window.SwatchColour(int(i)), QColor(RedOf(c), GreenOf(c), BlueOf(c)));
    }
    // Swatch 0x23 sits in row 2, column 3 of the grid.
    const QWidget* swatch = Child<QWidget>(window, "picPal35");
    const QWidget* rowStart = Child<QWidget>(window, "picPal32");
    QCOMPARE(swatch->y(), rowStart->y());
    QVERIFY(swatch->x() > rowStart->x());
    QVERIFY(rowStart->y() > Child<QWidget>(window, "picPal16")->y());
}

void SideWindowsTest::palettePreviewAndRightClick() {
    EditorState state = NewState();
    state.Graphics.Colours[0x23] = MakePixel(248, 16, 3);
    ScriptedDialogs dialogs;
    frmPal window(state, dialogs);
    auto* red = Child<QScrollBar>(window, "hsbRed");
    auto* green = Child<QScrollBar>(window, "hsbGreen");
    auto* blue = Child<QScrollBar>(window, "hsbBlue");

    // The preview reads the sliders on the 5-bit scale and clamps at 255.
    red->setValue(31);
    QCOMPARE(window.PreviewColour(), QColor(248, 0, 0));
    green->setValue(32);
    blue->setValue(255);
    QCOMPARE(window.PreviewColour(), QColor(248, 255, 255));
    red->setValue(0);

    auto* swatch = Child<QWidget>(window, "picPal35");
    QTest::mouseClick(swatch, Qt::LeftButton);
    QTest::mouseClick(swatch, Qt::MiddleButton);
    QVERIFY(dialogs.messages.empty());
    QCOMPARE(red->value(), 0);

    QTest::mousePress(swatch, Qt::RightButton);
    QCOMPARE(red->value(), 248);
    QCOMPARE(green->value(), 16);
    QCOMPARE(blue->value(), 3);
    QCOMPARE(dialogs.messages, (std::vector<std::string>{"2", "3"}));
    QCOMPARE(window.PreviewColour(), QColor(255, 128, 24));
    QCOMPARE(state.Graphics.Colours[0x23], MakePixel(248, 16, 3)); // never written
}

void SideWindowsTest::enemyListsNameEverySet() {
    EditorState state = NewState();
    state.CurrentRoomHeader.SpriteIndex2 = 0x70;
    frmED window(state);
    QCOMPARE(Text(window.windowTitle()), "Enemy Data");
    const auto names = m_folder / "Enemylist.txt";
    std::ofstream(names, std::ios::binary) << "set 0\r\nset 1\r\nset 2\r\n";
    window.SetSpriteSetNamesFile(names);
    window.LoadForm();
    for (const char* name : {"cboEn1", "cboEn2", "cboEn3"}) {
        auto* sets = Child<QComboBox>(window, name);
        QCOMPARE(sets->count(), 256);
        QCOMPARE(Text(sets->itemText(2)), "set 2");
        QCOMPARE(Text(sets->itemText(3)), "03 - Generic");
        QCOMPARE(Text(sets->itemText(255)), "FF - Generic");
    }
    QCOMPARE(Text(Child<QComboBox>(window, "cboEn2")->currentText()), "70 - Generic");
    QVERIFY(!state.Edited); // showing the header's choices changes nothing

    // A reload fills the lists anew; the shipped file names the first 108 sets.
    window.SetSpriteSetNamesFile(std::filesystem::path(QUARNEL_BIN_DIR) / "Enemylist.txt");
    window.LoadForm();
    auto* sets = Child<QComboBox>(window, "cboEn1");
    QCOMPARE(sets->count(), 256);
    QVERIFY(sets->itemText(0x6B).startsWith(QStringLiteral("6B - ")));
    QVERIFY(!sets->itemText(0x6B).contains(QLatin1Char('\r')));
    QCOMPARE(Text(sets->itemText(0x6C)), "6C - Generic");
}

void SideWindowsTest::enemyChoiceChangesTheHeader() {
    EditorState state = NewState();
    state.CurrentRoomHeader.SpriteIndex1 = 4;
    state.CurrentRoomHeader.SpriteIndex3 = 5;
    frmED window(state);
    auto* first = Child<QComboBox>(window, "cboEn1");
    first->setCurrentIndex(0x81);
    QCOMPARE(int(state.CurrentRoomHeader.SpriteIndex1), 0x81);
    QVERIFY(state.Edited);

    // Typed text is a set number in hexadecimal, read again at every key.
    auto* third = Child<QComboBox>(window, "cboEn3");
    QLineEdit* edit = third->lineEdit();
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("1A"));
    QCOMPARE(third->currentIndex(), 26);
    QCOMPARE(int(state.CurrentRoomHeader.SpriteIndex3), 26);
    QCOMPARE(Text(edit->text()), "1A");
    // Enter adds no item and names the chosen set again.
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(third->count(), 256);
    QCOMPARE(edit->text(), third->itemText(26));

    for (const char* typed : {"zz", "-1", " "}) {
        edit->clear();
        QTest::keyClicks(edit, QString::fromLatin1(typed));
        QCOMPARE(int(state.CurrentRoomHeader.SpriteIndex3), 26);
    }
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("100")); // 1, then 0x10, then out of range
    QCOMPARE(int(state.CurrentRoomHeader.SpriteIndex3), 0x10);
    QCOMPARE(int(state.CurrentRoomHeader.SpriteIndex2), 0);

    // A room selection reloads the window from the new header.
    state.CurrentRoomHeader.SpriteIndex1 = 9;
    window.LoadForm();
    QCOMPARE(first->currentIndex(), 9);
}

void SideWindowsTest::enemyCaptionAndPointers() {
    EditorState state = NewState();
    state.GameCode = Game::ZM;
    state.Area = 0;
    state.Room = 0x12;
    state.CurrentRoomHeader.SpritePointer1 = 0x08000000 + 0x2B4C0;
    state.CurrentRoomHeader.SpritePointer2 = 0x0875FD28;
    state.CurrentRoomHeader.SpritePointer3 = 0x00000010; // below the ROM: wraps
    frmED window(state);
    QCOMPARE(Text(Child<QLabel>(window, "lblData")->text()),
             "Enemies for: \r\nArea: Brinstar\r\nRoom: 12");
    QCOMPARE(Text(Child<QLineEdit>(window, "txtEn1")->text()), "2B4C0");
    QCOMPARE(Text(Child<QLineEdit>(window, "txtEn2")->text()), "75FD28");
    QCOMPARE(Text(Child<QLineEdit>(window, "txtEn3")->text()), "F8000010");
    QVERIFY(Child<QLineEdit>(window, "txtEn1")->isReadOnly());

    frmED named(state, [] { return std::string("Main Deck"); });
    QCOMPARE(Text(Child<QLabel>(named, "lblData")->text()),
             "Enemies for: \r\nArea: Main Deck\r\nRoom: 12");
}

void SideWindowsTest::fileFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expected");
    QTest::newRow("rom") << QStringLiteral("GBA roms| *.GBA")
                         << QStringLiteral("GBA roms (*.GBA *.gba)");
    QTest::newRow("pairs") << QStringLiteral("BMP Files| *.bmp|PNG Files| *.png")
                           << QStringLiteral("BMP Files (*.bmp *.BMP);;PNG Files (*.png *.PNG)");
    QTest::newRow("patterns") << QStringLiteral("Images| *.bmp;*.Png *.*")
                              << QStringLiteral("Images (*.bmp *.BMP *.Png *.png *.PNG *.*)");
    QTest::newRow("none") << QString() << QString();
}

void SideWindowsTest::fileFilters() {
    QFETCH(QString, filter);
    QFETCH(QString, expected);
    QCOMPARE(QtDialogs::QtFilter(filter.toStdString()), expected);
}

} // namespace quarnel

QTEST_MAIN(quarnel::SideWindowsTest)
#include "SideWindowsTest.moc"
