#include "editor/Trs422kbdf.h"

#include "editor/AppTitle.h"
#include "editor/Arguments.h"
#include "editor/Jog.h"
#include "editor/LayoutHistory.h"
#include "editor/TSelFunctionF.h"
#include "editor/TShape.h"
#include "formats/TDefFormat.h"
#include "formats/TSelFormatF.h"
#include "formats/TSetgainF.h"
#include "kit/Prompts.h"
#include "kit/TQveButton.h"
#include "link/TComNumberF.h"
#include "link/TDownloadf.h"
#include "model/KeyFaces.h"
#include "model/KeyLayout.h"
#include "model/MacroLabels.h"
#include "tables/TGPOF.h"
#include "tables/Tloopf.h"
#include "timecode/TtcenterF.h"

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
}

Trs422kbdf::~Trs422kbdf() = default;

void Trs422kbdf::attach(TSelFunctionF* selFunction, TDownloadf* link, TComNumberF* picker)
{
    picker_ = picker;
    selFunction_ = selFunction;
    link_ = link;
    selFunction_->updmacrolable = [this] { updmacrolable(); };
    link_->setkbdval = [this] { setkbdval(); };
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
        showDesignFace(key, McnDefaultKeys[std::size_t(i)]);
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

// Until a layout is loaded or the mode is switched the keys show the machine defaults.
void Trs422kbdf::showDesignFace(TQveButton* key, int code)
{
    const KeyFace face = keyFace(ListMachine, code);
    key->setTag(code);
    key->setCaption(face.caption);
    key->Colors()->setColor(TQvColors::Fill_Lit, face.fill);
    key->Colors()->setColor(TQvColors::Text_Lit, face.text);
    key->setHint(face.hint);
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
    model_.LayoutChanged = false;
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

void Trs422kbdf::setkbdval()
{
    if (!selFunction_)
        return;
    const auto codes = model_.keyCodes();
    if (!codes)
        return;
    selFunction_->ListKind = model_.KbdType();
    for (int i = 0; i < KeyCount; ++i) {
        TQveButton* key = KeyButtons[std::size_t(i)];
        key->setTag((*codes)[std::size_t(i)]);
        selFunction_->setkeyfunction(key);
        if (model_.KbdType() == KbdMonitor)
            if (auto caption = formatMemoryCaption(model_.MonImage, key->Tag(), !shiftf->isHidden()))
                key->setCaption(*caption);
    }
}

void Trs422kbdf::updkbddta()
{
    std::array<std::uint8_t, KeyCount> codes{};
    for (int i = 0; i < KeyCount; ++i)
        codes[std::size_t(i)] = std::uint8_t(KeyButtons[std::size_t(i)]->Tag() & 0xFF);
    model_.storeKeyCodes(codes);
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

// Every editing window belongs to the kind whose image it edits. When the kind changes, what
// they hold is written back (a row edit in the table window is stored; a dialog ends as its
// own close button ends it) and they close, so none of them goes on editing, saving or sending
// for the other kind. The shift layer is the monitor keyboard's, so it goes as well.
void Trs422kbdf::leaveKind(std::int32_t next)
{
    if (next == model_.KbdType())
        return;
    shiftf->hide();
    if (gpo_)
        gpo_->leaveMachineMode();
    for (QDialog* d :
         std::initializer_list<QDialog*>{setgain_, defFormat_, selFormat_, loop_, tcenter_})
        if (d && d->isVisible())
            d->reject();
}

void Trs422kbdf::MonitorControl1Click(QAction* sender)
{
    leaveKind(sender->property("Tag").toInt());
    action(QStringLiteral("Save1"))->setEnabled(true);
    sender->setChecked(true);
    model_.setKbdType(sender->property("Tag").toInt());
    saveconfig();
    if (selFunction_) {
        selFunction_->ListKind = model_.KbdType();
        for (int i = 0; i < KeyCount; ++i) {
            KeyButtons[std::size_t(i)]->setTag(defaultKeyCode(model_.KbdType(), i));
            selFunction_->setkeyfunction(KeyButtons[std::size_t(i)]);
        }
    }
    action(QStringLiteral("Save1"))->setEnabled(false);
    setkbdtype();
    if (history_) // steps of the other kind would put its keys back
        history_->startNew();
}

void Trs422kbdf::updmacrolable()
{
    for (int k = 0; k < mcn::MacroCount; ++k) {
        const std::uint8_t code = model_.McnImage.bytes[mcn::MacroTable + std::size_t(k)];
        if (auto* a = action(QStringLiteral("Macro") + QChar(u'A' + k)))
            a->setText(macros::itemCaption(k, code));
    }
    for (TQveButton* key : KeyButtons)
        if (auto caption = macros::keyCaption(model_.McnImage, key->Tag()))
            key->setCaption(*caption);
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
    updkbddta();
    if (!link_)
        return;
    link_->selectBlock(1);
    transfer();
}

// An upload in the connect window brings other bytes into the layout: a step of its own. The
// keys' codes are copied into the image before, outside the step.
void Trs422kbdf::transfer() {
    recordEdit(
        [] { return steps::windowCommand(QStringLiteral("Connect"), QStringLiteral("Upload")); },
        [this] { link_->exec(); });
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
    model_.TopRowKey = KeyPlaces[std::size_t(std::find(KeyButtons.begin(), KeyButtons.end(), key) -
                                             KeyButtons.begin())]
                           .topRow;
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
        if (action(QStringLiteral("Save1"))->isEnabled())
            Save1Click();
        else
            SaveAs1Click();
    }
}
