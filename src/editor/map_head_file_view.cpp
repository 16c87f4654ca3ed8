#include "editor/map_head_file_view.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QTableWidget>

#include "document/tesselink_doc.h"
#include "editor/form_units.h"
#include "editor/window_list_rows.h"

namespace tesselink {

namespace {

constexpr int FormWidthUnits = 293;
constexpr int FormHeightUnits = 394;
// About the size of the template's 8-point dialog font on a 96 dpi screen, and the
// smallest size the form falls back to so that every caption fits its control.
constexpr int FormFontPixelSize = 11;
constexpr int SmallestFormFontPixelSize = 8;

// Narrow sans-serif faces first: the controls were sized for one.
QFont FormFont(const QFont& base) {
    QFont font = base;
    font.setFamilies({"Tahoma", "Liberation Sans", "Arial", "Nimbus Sans", "Helvetica", base.family()});
    font.setPixelSize(FormFontPixelSize);
    return font;
}

bool CaptionsFit(const QWidget& form) {
    for (const QLabel* label : form.findChildren<QLabel*>())
        if (label->fontMetrics().horizontalAdvance(label->text()) > label->width()) return false;
    for (const QAbstractButton* button : form.findChildren<QAbstractButton*>()) {
        const bool toggle = qobject_cast<const QCheckBox*>(button) || qobject_cast<const QRadioButton*>(button);
        if (toggle && button->sizeHint().width() > button->width()) return false;
    }
    return true;
}

// Steps the form's font down until no caption is cut off.
void ShrinkFontUntilCaptionsFit(QWidget& form) {
    QFont font = form.font();
    while (!CaptionsFit(form) && font.pixelSize() > SmallestFormFontPixelSize) {
        font.setPixelSize(font.pixelSize() - 1);
        form.setFont(font);
    }
}

template <typename W>
W* Place(W* widget, int x, int y, int width, int height) {
    const PixelRect r = DialogRectToPixels(x, y, width, height);
    widget->setGeometry(r.X, r.Y, r.Width, r.Height);
    return widget;
}

QLabel* AddLabel(QWidget* form, const char* text, int x, int y, int w, int h, Qt::Alignment align = Qt::AlignLeft) {
    auto* label = Place(new QLabel(QString::fromUtf8(text), form), x, y, w, h);
    label->setAlignment(align | Qt::AlignVCenter);
    return label;
}

QLineEdit* AddDigitsEdit(QWidget* form, const char* name, int x, int y, int w, int h) {
    auto* edit = Place(new QLineEdit(form), x, y, w, h);
    edit->setObjectName(name);
    // Like a digits-only edit: nothing but the digits 0-9 can be typed.
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    return edit;
}

QGroupBox* AddGroup(QWidget* form, const char* title, int x, int y, int w, int h) {
    auto* group = Place(new QGroupBox(QString::fromUtf8(title), form), x, y, w, h);
    group->lower();  // drawn behind the controls it frames
    return group;
}

}  // namespace

CMapHeadFileView::CMapHeadFileView(CTesselinkDoc& doc, QWidget* parent)
    : QScrollArea(parent), Doc_(doc), DefaultPictureFolders_{QCoreApplication::applicationDirPath()} {
    setObjectName("MapHeadFileView");
    auto* form = new QWidget;
    form->setObjectName("MapHeadForm");
    form->setFont(FormFont(form->font()));
    form->setFixedSize(FormSize());

    BuildHeadGroup(form);
    BuildZoomGroup(form);
    BuildWindowControls(form);
    SetTabOrder();
    ShrinkFontUntilCaptionsFit(*form);

    setWidget(form);
    setWidgetResizable(false);
    setFrameShape(QFrame::NoFrame);
    // F6 lands on the first field, as on a form.
    setFocusProxy(OriginalWidthEdit_);
    ValuesToControls();
    Doc_.SetHeadFileView(this);
    connect(&Doc_, &CTesselinkDoc::changed, this, &CMapHeadFileView::OnDocumentChanged);
    connect(&Doc_, &CTesselinkDoc::selectionChanged, this, &CMapHeadFileView::ShowPickedWindow);
    ConnectHeadControls();
    ConnectWindowControls();
}

CMapHeadFileView::~CMapHeadFileView() {
    if (Doc_.GetHeadFileView() == this) Doc_.SetHeadFileView(nullptr);
}

void CMapHeadFileView::OnDocumentChanged(const MapChange& change) {
    using Kind = MapChange::Kind;
    switch (change.What) {
    case Kind::MapReplaced:
        FillHeadFromDocument();
        ShowCoverOption(Doc_.GetHead().CoverOption);
        RefreshWindowList();
        break;
    case Kind::Head:
        FillHeadFromDocument();
        RefreshWindowList();
        break;
    case Kind::Cover: ShowCoverOption(Doc_.GetHead().CoverOption); break;
    case Kind::WindowChanged:
        // A drag changes one window many times a second: only its row is written again.
        if (change.Index >= 0 && change.Index < WindowList_->rowCount()) {
            UpdateWindowRow(change.Index);
            ShowPickedWindow();
        } else {
            RefreshWindowList();
        }
        break;
    case Kind::WindowAdded:
    case Kind::WindowRemoved: RefreshWindowList(); break;
    case Kind::Picture: break;
    }
}

std::uint8_t CMapHeadFileView::CoverOptionFromControls() const {
    std::uint8_t option = 0;
    if (CoverFullScreenCheck_->isChecked()) option |= CoverFullScreen;
    if (CoverDifferentRadio_->isChecked()) option |= CoverDifferentDirection;
    return option;
}

QSize CMapHeadFileView::FormSize() {
    return {DialogUnitsToPixelsX(FormWidthUnits), DialogUnitsToPixelsY(FormHeightUnits)};
}

void CMapHeadFileView::BuildHeadGroup(QWidget* form) {
    AddGroup(form, "Map File Head", 2, 3, 280, 114);
    AddLabel(form, "Original width", 25, 14, 48, 10);
    OriginalWidthEdit_ = AddDigitsEdit(form, "OriginalWidthEdit", 75, 13, 39, 12);
    AddLabel(form, "Original heigh", 25, 30, 43, 10);
    OriginalHeightEdit_ = AddDigitsEdit(form, "OriginalHeightEdit", 75, 28, 39, 12);
    AddLabel(form, "Target width", 133, 14, 50, 10);
    TargetWidthEdit_ = AddDigitsEdit(form, "TargetWidthEdit", 188, 13, 39, 12);
    AddLabel(form, "Target height", 133, 30, 51, 10);
    TargetHeightEdit_ = AddDigitsEdit(form, "TargetHeightEdit", 188, 28, 39, 12);

    AddLabel(form, "BackGround Piture", 7, 51, 61, 14, Qt::AlignRight);
    PicturePathEdit_ = Place(new QLineEdit(form), 75, 49, 153, 14);
    PicturePathEdit_->setObjectName("PicturePathEdit");
    PicturePathEdit_->setReadOnly(true);
    BrowseButton_ = Place(new QPushButton("......", form), 243, 49, 14, 14);
    BrowseButton_->setObjectName("BrowseButton");
    ApplyHeadButton_ = Place(new QPushButton("OK", form), 178, 68, 50, 14);
    ApplyHeadButton_->setObjectName("ApplyHeadButton");

    CoverFullScreenCheck_ = Place(new QCheckBox("Covered with full screen", form), 7, 86, 90, 10);
    CoverFullScreenCheck_->setObjectName("CoverFullScreenCheck");
    CoverSameRadio_ = Place(new QRadioButton("Covered with same direction", form), 7, 102, 107, 10);
    CoverSameRadio_->setObjectName("CoverSameDirectionRadio");
    CoverDifferentRadio_ = Place(new QRadioButton("Covered with different direction", form), 139, 102, 118, 10);
    CoverDifferentRadio_->setObjectName("CoverDifferentDirectionRadio");
    auto* coverGroup = new QButtonGroup(this);
    coverGroup->addButton(CoverSameRadio_, 0);
    coverGroup->addButton(CoverDifferentRadio_, 1);
    CoverSameRadio_->setEnabled(false);
    CoverDifferentRadio_->setEnabled(false);
}

void CMapHeadFileView::BuildZoomGroup(QWidget* form) {
    AddGroup(form, "Zoom", 1, 120, 280, 27);
    AddLabel(form, "Enlarged area:", 5, 131, 54, 8);
    ZoomAreaGroup_ = new QButtonGroup(this);
    const char* const texts[] = {"All area", "Origina area", "Target area"};
    const int xs[] = {69, 133, 211};
    const int widths[] = {49, 64, 62};
    for (int choice = 0; choice < 3; ++choice) {
        auto* radio = Place(new QRadioButton(texts[choice], form), xs[choice], 131, widths[choice], 10);
        radio->setObjectName(QStringLiteral("ZoomAreaRadio%1").arg(choice));
        ZoomAreaGroup_->addButton(radio, choice);
    }
}

void CMapHeadFileView::BuildWindowControls(QWidget* form) {
    WindowList_ = Place(new QTableWidget(form), 2, 152, 280, 130);
    WindowList_->setObjectName("WindowList");
    WindowList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    WindowList_->setSelectionMode(QAbstractItemView::SingleSelection);
    WindowList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    WindowList_->setShowGrid(true);
    WindowList_->verticalHeader()->setVisible(false);
    WindowList_->verticalHeader()->setDefaultSectionSize(18);
    WindowList_->horizontalHeader()->setStretchLastSection(false);
    WindowList_->horizontalHeader()->setHighlightSections(false);
    // Tab leaves the list like any other control instead of walking its cells.
    WindowList_->setTabKeyNavigation(false);
    // The picked row stays visible while another control has the focus.
    QPalette palette = WindowList_->palette();
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    WindowList_->setPalette(palette);

    AddButton_ = Place(new QPushButton("Add", form), 5, 287, 68, 14);
    AddButton_->setObjectName("AddButton");
    DeleteButton_ = Place(new QPushButton("Delete", form), 111, 287, 68, 14);
    DeleteButton_->setObjectName("DeleteButton");

    AddLabel(form, "Originnla StartX", 5, 308, 53, 8);
    OriginalStartXEdit_ = AddDigitsEdit(form, "OriginalStartXEdit", 69, 309, 40, 14);
    AddLabel(form, "Originnla StartY", 5, 327, 53, 8);
    OriginalStartYEdit_ = AddDigitsEdit(form, "OriginalStartYEdit", 69, 327, 40, 14);
    AddLabel(form, "Target SatrtX", 155, 310, 53, 8);
    TargetStartXEdit_ = AddDigitsEdit(form, "TargetStartXEdit", 215, 309, 40, 14);
    AddLabel(form, "Target SatrtY", 155, 327, 53, 8);
    TargetStartYEdit_ = AddDigitsEdit(form, "TargetStartYEdit", 215, 325, 40, 14);
    AddLabel(form, "With", 5, 345, 53, 8);
    WidthEdit_ = AddDigitsEdit(form, "WidthEdit", 69, 345, 40, 14);
    AddLabel(form, "Heigh", 155, 348, 53, 8);
    HeightEdit_ = AddDigitsEdit(form, "HeightEdit", 215, 345, 40, 14);
    AddLabel(form, "Map Mode", 5, 361, 53, 8);
    // The template's 72 units are the height of the open list; the closed box is one line.
    MapModeBox_ = Place(new QComboBox(form), 69, 362, 185, 14);
    MapModeBox_->setObjectName("MapModeBox");
    MapModeBox_->setEditable(false);
    MapModeBox_->setMaxVisibleItems(5);
}

void CMapHeadFileView::SetTabOrder() {
    QWidget* const order[] = {OriginalWidthEdit_, OriginalHeightEdit_, TargetWidthEdit_, TargetHeightEdit_,
                              OriginalStartXEdit_, OriginalStartYEdit_, TargetStartXEdit_, TargetStartYEdit_,
                              WidthEdit_,          HeightEdit_,         MapModeBox_,        WindowList_,
                              AddButton_,          DeleteButton_,       PicturePathEdit_,   BrowseButton_,
                              ApplyHeadButton_,    CoverFullScreenCheck_};
    for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
    // The radio groups are reached with the mouse only.
    CoverSameRadio_->setFocusPolicy(Qt::ClickFocus);
    CoverDifferentRadio_->setFocusPolicy(Qt::ClickFocus);
    for (QAbstractButton* radio : ZoomAreaGroup_->buttons()) radio->setFocusPolicy(Qt::ClickFocus);
}

QRadioButton* CMapHeadFileView::ZoomAreaRadio(int choice) const {
    return qobject_cast<QRadioButton*>(ZoomAreaGroup_->button(choice));
}

QString CMapHeadFileView::DefaultPicturePath() const {
    const QString name = QStringLiteral("tesselink.jpg");
    for (const QString& folder : DefaultPictureFolders_) {
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo(path).isFile()) return path;
    }
    return DefaultPictureFolders_.isEmpty() ? name : QDir(DefaultPictureFolders_.front()).filePath(name);
}

void CMapHeadFileView::ValuesToControls() {
    OriginalWidthEdit_->setText(Values_.OriginalWidth);
    OriginalHeightEdit_->setText(Values_.OriginalHeight);
    TargetWidthEdit_->setText(Values_.TargetWidth);
    TargetHeightEdit_->setText(Values_.TargetHeight);
    PicturePathEdit_->setText(Values_.PicturePath);
    if (QAbstractButton* radio = ZoomAreaGroup_->button(Values_.ZoomAreaChoice)) radio->setChecked(true);
}

void CMapHeadFileView::ValuesFromControls() {
    Values_.OriginalWidth = OriginalWidthEdit_->text();
    Values_.OriginalHeight = OriginalHeightEdit_->text();
    Values_.TargetWidth = TargetWidthEdit_->text();
    Values_.TargetHeight = TargetHeightEdit_->text();
    Values_.PicturePath = PicturePathEdit_->text();
    Values_.ZoomAreaChoice = ZoomAreaGroup_->checkedId() < 0 ? 0 : ZoomAreaGroup_->checkedId();
}

void CMapHeadFileView::OnInitialUpdate() {
    ValuesToControls();
    if (QFileInfo(DefaultPicturePath()).isFile()) Values_.PicturePath = DefaultPicturePath();
    ValuesToControls();
    SetUpWindowList();
    // A map opened at start-up keeps its cover option; without one the document's is 0.
    ShowCoverOption(Doc_.GetHead().CoverOption);
}

void CMapHeadFileView::SetUpWindowList() {
    WindowList_->clear();
    WindowList_->setRowCount(0);
    const auto& columns = WindowListColumns();
    WindowList_->setColumnCount(WindowListColumnCount);
    for (int c = 0; c < WindowListColumnCount; ++c) {
        WindowList_->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromUtf8(columns[c].Heading)));
        WindowList_->setColumnWidth(c, columns[c].Width);
    }
    MapModeBox_->clear();
    for (int mode = 0; mode < MapModeCount; ++mode) MapModeBox_->addItem(QString::fromUtf8(MapModeText(mode)));
    MapModeBox_->setCurrentIndex(0);
    RefreshWindowList();
}

void CMapHeadFileView::ResetHeadFields() {
    Values_.OriginalWidth = "640";
    Values_.OriginalHeight = "480";
    Values_.TargetWidth = "640";
    Values_.TargetHeight = "480";
    ValuesToControls();
}

void CMapHeadFileView::FillHeadFromDocument() {
    const MapFileHead& head = Doc_.GetHead();
    Values_.OriginalWidth = QString::number(head.OriginalWidth);
    Values_.OriginalHeight = QString::number(head.OriginalHeight);
    Values_.TargetWidth = QString::number(head.TargetWidth);
    Values_.TargetHeight = QString::number(head.TargetHeight);
    ValuesToControls();
}

void CMapHeadFileView::ShowCoverOption(std::uint8_t coverOption) {
    const bool fullScreen = (coverOption & CoverFullScreen) != 0;
    CoverFullScreenCheck_->setChecked(fullScreen);
    CoverSameRadio_->setEnabled(fullScreen);
    CoverDifferentRadio_->setEnabled(fullScreen);
    const bool different = (coverOption & CoverDifferentDirection) != 0;
    CoverDifferentRadio_->setChecked(different);
    CoverSameRadio_->setChecked(!different);
}

void CMapHeadFileView::RefreshWindowList() {
    const QSignalBlocker quiet(WindowList_);
    const QSignalBlocker quietSelection(WindowList_->selectionModel());
    WindowList_->clearContents();
    WindowList_->setRowCount(0);
    WindowList_->clearSelection();
    const PlaybackWindows& windows = Doc_.GetPlaybackWindows();
    WindowList_->setRowCount(static_cast<int>(windows.size()));
    for (int row = 0; row < static_cast<int>(windows.size()); ++row) UpdateWindowRow(row);
    ShowPickedWindow();
}

void CMapHeadFileView::UpdateWindowRow(int row) {
    const auto texts = WindowRowTexts(row, Doc_.GetPlaybackWindows()[static_cast<std::size_t>(row)]);
    // Before the first update the list has no columns yet; that update fills it again.
    const int columns = std::min(WindowList_->columnCount(), WindowListColumnCount);
    for (int c = 0; c < columns; ++c) {
        if (QTableWidgetItem* item = WindowList_->item(row, c)) {
            item->setText(texts[c]);
            continue;
        }
        auto* item = new QTableWidgetItem(texts[c]);
        item->setTextAlignment(Qt::AlignCenter);
        WindowList_->setItem(row, c, item);
    }
}

}  // namespace tesselink
