#pragma once
// The editor panel on the left: a scrollable form with the map head, the cover
// options, the zoom scope and the playback-window list with the window fields.
// The controls are laid out and filled from the document; their editing handlers
// come with the panel's editing logic.

#include <QScrollArea>
#include <QString>
#include <QStringList>

#include <cstdint>

#include "document/edit_commands.h"
#include "document/map_change.h"
#include "document/view_panes.h"
#include "map/file_dialogs.h"
#include "map/message_boxes.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace tesselink {

class CTesselinkDoc;

// The texts and choices that data exchange moves between the members and the controls.
struct HeadFormValues {
    QString OriginalWidth = "640";
    QString OriginalHeight = "480";
    QString TargetWidth = "640";
    QString TargetHeight = "480";
    QString PicturePath;
    int ZoomAreaChoice = 0;  // 0 all area, 1 original, 2 target
};

class CMapHeadFileView : public QScrollArea, public HeadFileViewPane {
    Q_OBJECT
public:
    // Registers itself with `doc` as its editor panel and follows the document's changes.
    explicit CMapHeadFileView(CTesselinkDoc& doc, QWidget* parent = nullptr);
    ~CMapHeadFileView() override;

    // The form's size in pixels (its template is 293 x 394 dialog units).
    static QSize FormSize();

    // Where the panel's messages and questions go, and how it asks for a picture file;
    // without them nothing is shown and Browse offers nothing.
    void SetMessageBoxes(MessageBoxes* boxes) { Boxes_ = boxes; }
    void SetFileDialogs(FileDialogs* dialogs) { Dialogs_ = dialogs; }

    // First update, once the frame and all views exist.
    void OnInitialUpdate();

    // Folders searched in order for the default picture "tesselink.jpg"; the executable's
    // folder by default. The path is the first that exists, else the one in the first folder.
    void SetDefaultPictureFolders(const QStringList& folders) { DefaultPictureFolders_ = folders; }
    QString DefaultPicturePath() const;

    // Data exchange: members to controls, and controls to members.
    void ValuesToControls();
    void ValuesFromControls();
    const HeadFormValues& Values() const { return Values_; }

    // The four head fields read "640", "480", "640", "480".
    void ResetHeadFields();
    // The head fields show the document's sizes.
    void FillHeadFromDocument();
    // The three cover buttons show a CoverOption byte; the document is not changed.
    void ShowCoverOption(std::uint8_t coverOption);
    // The list is refilled from the document's windows, the picked one selected.
    void RefreshWindowList();

    // "OK": checks the head fields and the picture path, asks about windows that would no
    // longer fit, and applies the head (with their deletion) as one undoable step.
    void ApplyHead();
    // "......": a picture file chosen in the dialog goes into the path field, nothing else.
    void BrowseBackgroundPicture();
    // "Add": an 8 x 8 copy window at the corners, picked.
    void AddWindow();
    // "Delete" and the Delete key in the list: the picked window goes.
    void DeleteSelectedWindow();
    // The six window fields show `window`, or are emptied for none; the Map Mode box its mode.
    void ShowWindowFields(const PlaybackWindow* window);

    // The controls, for the panel's handlers and for tests.
    QLineEdit* OriginalWidthEdit() const { return OriginalWidthEdit_; }
    QLineEdit* OriginalHeightEdit() const { return OriginalHeightEdit_; }
    QLineEdit* TargetWidthEdit() const { return TargetWidthEdit_; }
    QLineEdit* TargetHeightEdit() const { return TargetHeightEdit_; }
    QLineEdit* PicturePathEdit() const { return PicturePathEdit_; }
    QPushButton* BrowseButton() const { return BrowseButton_; }
    QPushButton* ApplyHeadButton() const { return ApplyHeadButton_; }
    QCheckBox* CoverFullScreenCheck() const { return CoverFullScreenCheck_; }
    QRadioButton* CoverSameDirectionRadio() const { return CoverSameRadio_; }
    QRadioButton* CoverDifferentDirectionRadio() const { return CoverDifferentRadio_; }
    QRadioButton* ZoomAreaRadio(int choice) const;
    QTableWidget* WindowList() const { return WindowList_; }
    QPushButton* AddButton() const { return AddButton_; }
    QPushButton* DeleteButton() const { return DeleteButton_; }
    QLineEdit* OriginalStartXEdit() const { return OriginalStartXEdit_; }
    QLineEdit* OriginalStartYEdit() const { return OriginalStartYEdit_; }
    QLineEdit* TargetStartXEdit() const { return TargetStartXEdit_; }
    QLineEdit* TargetStartYEdit() const { return TargetStartYEdit_; }
    QLineEdit* WidthEdit() const { return WidthEdit_; }
    QLineEdit* HeightEdit() const { return HeightEdit_; }
    QComboBox* MapModeBox() const { return MapModeBox_; }

private:
    void BuildHeadGroup(QWidget* form);
    void BuildZoomGroup(QWidget* form);
    void BuildWindowControls(QWidget* form);
    void SetTabOrder();
    void SetUpWindowList();
    // Row `row` shows the document's window at that index.
    void UpdateWindowRow(int row);
    void ConnectHeadControls();
    void ConnectWindowControls();
    void OnDocumentChanged(const MapChange& change);
    // The cover option the three cover buttons show now.
    std::uint8_t CoverOptionFromControls() const;
    void SelectPickedRow();
    // The list row, fields and mode box show the document's picked window.
    void ShowPickedWindow();
    // The list's own selection (click, arrow keys) picks the window in the document.
    void OnListSelectionChanged();

    // One of the six fields, as the user types into it.
    enum class WindowField { OriginalStartX, OriginalStartY, TargetStartX, TargetStartY, Width, Height };
    void OnFieldEdited(WindowField field, const QString& text);
    void OnMapModeChosen(int mode);
    // The picked window, or none; with an empty picture path the user is told first.
    const PlaybackWindow* SelectedWindowForEdit();
    // Stores `window` over the picked one through the document; a refusal is shown once.
    bool StoreEdit(const PlaybackWindow& window, EditGesture::Kind gesture);
    void Tell(const std::string& text);
    MessageAnswer Ask(const std::string& text);
    // Says so when the applied picture exists but cannot be used.
    void ReportUnusablePicture();
    bool eventFilter(QObject* watched, QEvent* event) override;

    CTesselinkDoc& Doc_;
    MessageBoxes* Boxes_ = nullptr;
    FileDialogs* Dialogs_ = nullptr;
    HeadFormValues Values_;
    // One typing session in the fields is one undo step; leaving a field starts the next.
    int FieldGesture_ = 0;
    // Set while a message is up, so the focus loss it causes is not handled as an edit.
    bool Telling_ = false;
    // The field being typed in: the stored value does not overwrite what the user types.
    QLineEdit* TypingIn_ = nullptr;
    QStringList DefaultPictureFolders_;

    QLineEdit* OriginalWidthEdit_ = nullptr;
    QLineEdit* OriginalHeightEdit_ = nullptr;
    QLineEdit* TargetWidthEdit_ = nullptr;
    QLineEdit* TargetHeightEdit_ = nullptr;
    QLineEdit* PicturePathEdit_ = nullptr;
    QPushButton* BrowseButton_ = nullptr;
    QPushButton* ApplyHeadButton_ = nullptr;
    QCheckBox* CoverFullScreenCheck_ = nullptr;
    QRadioButton* CoverSameRadio_ = nullptr;
    QRadioButton* CoverDifferentRadio_ = nullptr;
    QButtonGroup* ZoomAreaGroup_ = nullptr;
    QTableWidget* WindowList_ = nullptr;
    QPushButton* AddButton_ = nullptr;
    QPushButton* DeleteButton_ = nullptr;
    QLineEdit* OriginalStartXEdit_ = nullptr;
    QLineEdit* OriginalStartYEdit_ = nullptr;
    QLineEdit* TargetStartXEdit_ = nullptr;
    QLineEdit* TargetStartYEdit_ = nullptr;
    QLineEdit* WidthEdit_ = nullptr;
    QLineEdit* HeightEdit_ = nullptr;
    QComboBox* MapModeBox_ = nullptr;
};

}  // namespace tesselink
