#pragma once
// frmData, "Storage Editor": shows the free-space bookkeeping of both games, area by area
// (where each area starts, how much of it is handed out and how long it is, as six
// hexadecimal digits), and resets the areas to their defaults. The window reads os.bin
// every time it is shown. Values typed into the boxes are neither checked nor stored: the
// "Save " buttons do nothing.

#include <QGroupBox>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace quarnel {

class Dialogs;
class StorageSystem;

class frmData : public QWidget {
    Q_OBJECT
public:
    // `storage` and `dialogs` must outlive the window; a failing read or reset of os.bin is
    // reported through `dialogs`.
    frmData(StorageSystem& storage, Dialogs& dialogs, QWidget* parent = nullptr);

    // Reads os.bin, fills both area lists, selects area 0 of each and shows it.
    void Form_Load();

    // Show the chosen area of each game in its three boxes.
    void cboZMList_Click();
    void cboMFList_Click();
    // "Reset": the default offsets and lengths, every Used kept; the boxes keep their text
    // until an area is chosen again.
    void cmdZMReset_Click();

    QComboBox* cboZMList = nullptr;
    QLineEdit* txtZMOff = nullptr;
    QLineEdit* txtZMUsed = nullptr;
    QLineEdit* txtZMLength = nullptr;
    QPushButton* cmdZMSave = nullptr;
    QPushButton* cmdZMReset = nullptr;
    QComboBox* cboMFList = nullptr;
    QLineEdit* txtMFOff = nullptr;
    QLineEdit* txtMFUsed = nullptr;
    QLineEdit* txtMFLength = nullptr;
    QPushButton* cmdMFSave = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Boxes {
        QComboBox* list;
        QLineEdit* offset;
        QLineEdit* used;
        QLineEdit* length;
        QPushButton* save;
    };
    QGroupBox* MakeFrame(const QString& caption, const QString& prefix, Boxes& boxes,
                         QPushButton* extraButton);

    StorageSystem& m_storage;
    Dialogs& m_dialogs;
};

} // namespace quarnel
