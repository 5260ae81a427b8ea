#include "editor/Trs422kbdf.h"

#include "editor/TSelFunctionF.h"
#include "editor/TShape.h"
#include "history/LayoutHistory.h"
#include "kit/Prompts.h"
#include "kit/TQveButton.h"
#include "link/TComNumberF.h"
#include "link/TDownloadf.h"
#include "model/KeyFaces.h"
#include "model/KeyLayout.h"
#include "model/LayoutSteps.h"
#include "model/MacroLabels.h"
#include "model/Records.h"
#include "program/AppTitle.h"
#include "program/Arguments.h"
#include "program/Jog.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>

#include <cstdio>

using namespace zeltra;

namespace {
constexpr int KnobSize = 30;
constexpr int JogInterval = 100;
const QRect MachineWheel(510, 85, 200, 200);
const QRect MonitorWheel(560, 135, 100, 100);
constexpr std::array<int, Trs422kbdf::StatusPanels> PanelWidths{50, 50, 550, 50};
constexpr int KeyAreaHeight = 290;
// The design size counts an 8-pixel border on every side and a 19-pixel caption; the rest is
// the client area with the menu bar and the status bar.
constexpr int Border = 8;
constexpr int Caption = 19;
} // namespace

Trs422kbdf::Trs422kbdf(LayoutModel& model, AppTitle& title, Prompts& prompts,
                       const QString& programDir, const QStringList& args, QWidget* parent)
    : Base(parent), model_(model), title_(title), prompts_(prompts), args_(args)
{
    setObjectName(QStringLiteral("rs422kbdf"));
    setWindowTitle(QStringLiteral("Right Click to define keys "));
    model_.ProgramDir = programDir;
    cursorX = [] { return QCursor::pos().x(); };
    traceCaptions_ = qEnvironmentVariableIsSet("ZELTRA_TRACE_TITLE");

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("keyboard"));
    panel->setMinimumSize(DesignWidth - 2 * Border, KeyAreaHeight);
    panel->setAutoFillBackground(true);
    setCentralWidget(panel);
    buildKeys(panel);
    buildWheel(panel);
    buildStatusBar();
    buildMenu();
    setmachine();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(JogInterval);
    connect(Timer1, &QTimer::timeout, this, &Trs422kbdf::Timer1Timer);
    resize(DesignWidth - 2 * Border, DesignHeight - 2 * Border - Caption);
    FormCreate();
    // The keys show the layout at start; the macro items keep their design captions until
    // the window's first show or the first change of the machine image labels them.
    showKind();
    followModel();
}

Trs422kbdf::~Trs422kbdf() = default;

void Trs422kbdf::attach(TSelFunctionF* selFunction, TDownloadf* link, TComNumberF* picker)
{
    picker_ = picker;
    selFunction_ = selFunction;
    link_ = link;
    sendjog = [link](int v) { link->sendjog(v); };
    sendkey = [link](std::uint8_t code) { link->sendkey(code); };
    link_->saveconfig = [this] { saveconfig(); };
}

void Trs422kbdf::buildKeys(QWidget* panel)
{
    QFont keyFont = font();
    keyFont.setBold(true);
    for (int i = 0; i < KeyCount; ++i) {
        const KeyPlace& place = KeyPlaces[std::size_t(i)];
        auto* key = new TQveButton(panel);
        key->setObjectName(QStringLiteral("key%1").arg(i + 1));
        key->setGeometry(place.left, place.top, place.size, place.size);
        key->setRingWidth(4); // as the form describes them; the button keeps its 1-pixel ring
        key->setCornerRadius(6);
        key->setLit(true);
        key->setFont(keyFont);
        connect(key, &TQveButton::OnMouseDown, this,
                [this](TQveButton* k, Qt::MouseButton b, Qt::KeyboardModifiers m, QPoint) {
                    key2MouseDown(k, b, m);
                });
        KeyButtons[std::size_t(i)] = key;
    }
    shiftf = new QLabel(QStringLiteral("Shift"), panel);
    shiftf->setObjectName(QStringLiteral("shiftf"));
    shiftf->setGeometry(8, 176, 369, 17);
    shiftf->setAutoFillBackground(true);
    shiftf->setStyleSheet(QStringLiteral("background: yellow; color: navy; font-weight: bold;"));
    shiftf->hide();
}

void Trs422kbdf::buildWheel(QWidget* panel)
{
    Shape1 = new TShape(clBlack, panel);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape2 = new TShape(clSilver, panel);
    Shape2->setObjectName(QStringLiteral("Shape2"));
    Shape2->resize(KnobSize, KnobSize);
    for (TShape* s : {Shape1, Shape2}) {
        connect(s, &TShape::OnMouseDown, this, &Trs422kbdf::Shape1MouseDown);
        connect(s, &TShape::OnMouseUp, this, &Trs422kbdf::Shape1MouseUp);
    }
}

void Trs422kbdf::buildStatusBar()
{
    auto* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    for (int i = 0; i < StatusPanels; ++i) {
        auto* label = new QLabel(bar);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        label->setFixedWidth(PanelWidths[std::size_t(i)]);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        bar->addWidget(label);
        StatusPanel[std::size_t(i)] = label;
    }
}

void Trs422kbdf::FormCreate()
{
    title_.set(QStringLiteral("Splash1a"));
    title_.set(QStringLiteral("Splash1b"));
    title_.set(QStringLiteral("Splash1c"));
    model_.initDefaults(model_.ProgramDir);
    title_.set(QStringLiteral("Splash1f"));
    setWindowTitle(QStringLiteral("Load ini file"));
    readsettings();
    title_.set(QStringLiteral("Splash1h"));
}

void Trs422kbdf::showEvent(QShowEvent* e)
{
    Base::showEvent(e);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void Trs422kbdf::FormShow()
{
    action(QStringLiteral("Com1"))->setText(QStringLiteral("Com:%1").arg(model_.Settings.comPort()));
    if (link_)
        link_->Setupcom();
    if (link_ && !link_->networkPort().isEmpty()) // a network port goes by its address
        action(QStringLiteral("Com1"))->setText(link_->portCaption());
    action(QStringLiteral("Showclip1"))->setChecked(model_.Settings.showClip());
    saveconfig();
    openStartLayout();
    updmacrolable();
    if (link_ && arguments::showsTrace(args_))
        link_->setTraceVisible(true);
}

void Trs422kbdf::closeEvent(QCloseEvent* e)
{
    FormClose();
    e->accept();
    Base::closeEvent(e);
}

void Trs422kbdf::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::WindowTitleChange && traceCaptions_)
        std::fprintf(stderr, "caption: %s\n",
                     QString(windowTitle()).remove(QLatin1String("[*]")).toLocal8Bit().constData());
    Base::changeEvent(e);
}

bool Trs422kbdf::event(QEvent* e)
{
    if (e->type() == QEvent::StatusTip) {
        displayhint(static_cast<QStatusTipEvent*>(e)->tip());
        return true;
    }
    return Base::event(e);
}

void Trs422kbdf::displayhint(const QString& hint) { StatusPanel[2]->setText(hint); }

// Every key's Tag, caption, colours and hint come from the image; the Tag is never read back
// as the truth. A kind without an image (a settings record may hold one) leaves the keys as
// they are, and until anything was shown they show the machine layout.
void Trs422kbdf::setkbdval()
{
    LayoutData shown = model_.data();
    if (shown.image(shown.KbdType()).empty()) {
        if (keysShown_)
            return;
        shown.setKbdType(KbdMachine);
    }
    keysShown_ = true;
    const std::span<const std::uint8_t> image = shown.image(shown.KbdType());
    if (selFunction_)
        selFunction_->ListKind = shown.KbdType();
    for (int i = 0; i < KeyCount; ++i) {
        const auto face = keyShown(shown, i, !shiftf->isHidden());
        TQveButton* key = KeyButtons[std::size_t(i)];
        key->setTag(image[mcn::KeyCodes + std::size_t(i)]);
        key->setCaption(face->caption);
        key->Colors()->setColor(TQvColors::Fill_Lit, face->fill);
        key->Colors()->setColor(TQvColors::Text_Lit, face->text);
        key->setHint(face->hint);
    }
}

// The window follows the model: the keys its image, the wheel and menus its kind, the caption
// its file and mark.
void Trs422kbdf::followModel()
{
    connect(&model_, &LayoutModel::imageChanged, this, &Trs422kbdf::showImage);
    connect(&model_, &LayoutModel::kindChanged, this, &Trs422kbdf::showKind);
    connect(&model_, &LayoutModel::fileChanged, this, &Trs422kbdf::showCaption);
    connect(&model_, &LayoutModel::unsavedChanged, this, &Trs422kbdf::showUnsavedMark);
}

void Trs422kbdf::showImage(std::int32_t kind)
{
    if (kind == KbdMachine)
        updmacrolable();
    if (kind == model_.KbdType())
        setkbdval();
}

// The shift layer is the monitor keyboard's.
void Trs422kbdf::showKind()
{
    shiftf->hide();
    setkbdtype();
    setkbdval();
}

void Trs422kbdf::setkbdtype()
{
    menuBar()->setProperty("Tag", model_.KbdType());
    if (model_.KbdType() == KbdMachine)
        setmachine();
    else if (model_.KbdType() == KbdMonitor)
        setmonitor();
}

void Trs422kbdf::setmachine()
{
    Shape2->setVisible(true);
    Shape1->setGeometry(MachineWheel);
    Shape2->move(jog::knobPosition(MachineWheel, KnobSize, model_.JogAngle));
    Shape2->raise();
    if (auto* a = action(QStringLiteral("mcnctrl")))
        a->setChecked(true);
    if (auto* a = action(QStringLiteral("EditFormats1")))
        a->setVisible(false);
    if (auto* a = action(QStringLiteral("Format2")))
        a->setVisible(false);
}

void Trs422kbdf::setmonitor()
{
    Shape2->setVisible(false);
    Shape1->setGeometry(MonitorWheel);
    action(QStringLiteral("MonitorControl1"))->setChecked(true);
    action(QStringLiteral("EditFormats1"))->setVisible(true);
    action(QStringLiteral("Format2"))->setVisible(true);
}

namespace {
// The default keys of `kind` in its image.
void putDefaultKeys(std::span<std::uint8_t> image, std::int32_t kind)
{
    for (int i = 0; i < KeyCount; ++i)
        image[mcn::KeyCodes + std::size_t(i)] = defaultKeyCode(kind, i);
}
} // namespace

// Another kind is a new layout of default keys, with no file (Save asks for one) and a new
// history; its windows close themselves, and unsaved changes stay marked. The kind already
// checked puts the default keys back as a step that undo takes back.
void Trs422kbdf::MonitorControl1Click(QAction* sender)
{
    const std::int32_t kind = sender->property("Tag").toInt();
    if (refuseWhileTransfer(sender->text())) {
        setkbdtype(); // the item of the kind that stays checked
        return;
    }
    sender->setChecked(true);
    if (kind == model_.KbdType()) {
        history_->edit(steps::windowCommand(sender->text(), QStringLiteral("default keys")), kind,
                       [kind](std::span<std::uint8_t> image) { putDefaultKeys(image, kind); });
        setkbdtype();
        saveconfig();
        return;
    }
    model_.setKbdType(kind);
    LayoutData next = model_.data();
    putDefaultKeys(next.image(kind), kind);
    model_.writeImage(kind, 0, next.image(kind));
    model_.setFile({});
    saveconfig();
    history_->startNew(LayoutHistory::Start::KeepMark);
}

void Trs422kbdf::updmacrolable()
{
    for (int k = 0; k < mcn::MacroCount; ++k)
        if (auto* a = action(QStringLiteral("Macro") + QChar(u'A' + k)))
            a->setText(macros::itemCaption(k, records::macro(model_.McnImage, k).code()));
}

void Trs422kbdf::Shape1MouseDown()
{
    model_.JogOriginX = cursorX();
    Timer1->start();
}

void Trs422kbdf::Shape1MouseUp()
{
    Timer1->stop();
    if (sendjog)
        sendjog(0);
}

void Trs422kbdf::Timer1Timer()
{
    const int v = jog::value(cursorX(), model_.JogOriginX);
    if (sendjog)
        sendjog(v);
    StatusPanel[3]->setText(QString::number(v));
    model_.JogAngle = jog::turn(model_.JogAngle, v);
    Shape2->move(jog::knobPosition(Shape1->geometry(), Shape2->width(), model_.JogAngle));
}

void Trs422kbdf::Download1Click()
{
    downloadTable(1);
}

void Trs422kbdf::Com1Click()
{
    if (!link_)
        return;
    link_->Port1Click();
    action(QStringLiteral("Com1"))->setText(picker_->comboText());
}

void Trs422kbdf::key2MouseDown(TQveButton* key, Qt::MouseButton button, Qt::KeyboardModifiers mods)
{
    if (button != Qt::LeftButton)
        return;
    model_.ShiftEdit = mods.testFlag(Qt::ShiftModifier);
    model_.TopRowKey = KeyPlaces[std::size_t(keyIndex(key))].topRow;
    newkeyClick(key);
}

void Trs422kbdf::newkeyClick(TQveButton* key)
{
    if (model_.ShiftEdit) {
        if (model_.KbdType() == KbdMonitor)
            MonitorClick(key);
        else if (model_.KbdType() == KbdMachine)
            RemoteClick(key);
        return;
    }
    if (sendkey)
        sendkey(std::uint8_t(key->Tag()));
}

void Trs422kbdf::FormClose()
{
    saveconfig();
    if (model_.LayoutChanged &&
        prompts_.askYesNo(QStringLiteral("Layout/Data has changed, Save Changes?"),
                          QStringLiteral("Save Changes?"))) {
        if (model_.hasFile())
            Save1Click();
        else
            SaveAs1Click();
    }
}
