// The main window's menu: captions, component names and Tags as the form describes them.
#include "editor/Trs422kbdf.h"

#include "model/Images.h"

#include <QActionGroup>
#include <QMenuBar>

using namespace zeltra;

QMenu* Trs422kbdf::addMenu(QMenu* parent, const QString& caption, const QString& name)
{
    QMenu* m = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    return m;
}

QAction* Trs422kbdf::addItem(QMenu* menu, const QString& caption, const QString& name, int tag)
{
    QAction* a = menu ? menu->addAction(caption) : menuBar()->addAction(caption);
    a->setObjectName(name);
    a->setProperty("Tag", tag);
    return a;
}

void Trs422kbdf::buildMenu()
{
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* file = addMenu(nullptr, QStringLiteral("&File"), QStringLiteral("File1"));
    connect(addItem(file, QStringLiteral("&Open"), QStringLiteral("Open1")), &QAction::triggered,
            this, &Trs422kbdf::Open1Click);
    connect(addItem(file, QStringLiteral("&Save"), QStringLiteral("Save1")), &QAction::triggered,
            this, &Trs422kbdf::Save1Click);
    connect(addItem(file, QStringLiteral("Save &As"), QStringLiteral("SaveAs1")),
            &QAction::triggered, this, &Trs422kbdf::SaveAs1Click);
    addItem(file, QStringLiteral("Export JPEG"), QStringLiteral("Export1"));
    addItem(file, QStringLiteral("mail"), QStringLiteral("mail1"));
    connect(addItem(file, QStringLiteral("Print..."), QStringLiteral("Print1")), &QAction::triggered,
            this, &Trs422kbdf::Print1Click);
    connect(addItem(file, QStringLiteral("Close"), QStringLiteral("Close1")), &QAction::triggered,
            this, &QWidget::close);

    QMenu* function = addMenu(nullptr, QStringLiteral("F&unction"), QStringLiteral("Function1"));
    functionGroup_ = new QActionGroup(this);
    for (auto [caption, name, tag] : {std::tuple{"Machine Control", "mcnctrl", 0},
                                      std::tuple{"Monitor Control", "MonitorControl1", 1},
                                      std::tuple{"Future Application", "NewApplication1", 0}}) {
        QAction* a = addItem(function, QString::fromLatin1(caption), QString::fromLatin1(name), tag);
        a->setCheckable(true);
        functionGroup_->addAction(a);
        connect(a, &QAction::triggered, this, [this, a] { MonitorControl1Click(a); });
    }
    action(QStringLiteral("mcnctrl"))->setChecked(true);

    addItem(nullptr, QStringLiteral("Edit Monitor Formats"), QStringLiteral("EditFormats1"));
    addItem(nullptr, QStringLiteral("Format2"), QStringLiteral("Format2"));

    QMenu* connectMenu = addMenu(nullptr, QStringLiteral("&Connect"), QStringLiteral("Upload1"));
    addItem(connectMenu, QStringLiteral("Program Keys"), QStringLiteral("ProgramKeys1"));
    connect(addItem(connectMenu, QStringLiteral("Download"), QStringLiteral("Download1")),
            &QAction::triggered, this, &Trs422kbdf::Download1Click);
    connect(addItem(connectMenu, QStringLiteral("Com"), QStringLiteral("Com1")),
            &QAction::triggered, this, &Trs422kbdf::Com1Click);

    QMenu* cuelist = addMenu(nullptr, QStringLiteral("Cuelist"), QStringLiteral("Cuelist1"));
    addItem(cuelist, QStringLiteral("GPO"), QStringLiteral("GPO1"));
    addItem(cuelist, QStringLiteral("Cues"), QStringLiteral("Cues1"));
    cuelist->menuAction()->setVisible(false);

    QMenu* set = addMenu(nullptr, QStringLiteral("Set"), QStringLiteral("GPOSet1"));
    addItem(set, QStringLiteral("Cues"), QStringLiteral("Cues2"), 2);
    addItem(set, QStringLiteral("Loops"), QStringLiteral("Loops1"), 3);
    addItem(set, QStringLiteral("GPO"), QStringLiteral("GPO2"), 1);
    QMenu* macro = addMenu(set, QStringLiteral("Tandem Macro"), QStringLiteral("TandemMacro1"));
    for (int k = 0; k < mcn::MacroCount; ++k)
        addItem(macro, QString(QChar(u'A' + k)) + QLatin1Char(':'),
                QStringLiteral("Macro") + QChar(u'A' + k), k + 1);
    addItem(macro, QStringLiteral("Download"), QStringLiteral("Downmacro"));

    QMenu* option = addMenu(nullptr, QStringLiteral("Option"), QStringLiteral("Option1"));
    QAction* showClip = addItem(option, QStringLiteral("Display Clip Number"), QStringLiteral("Showclip1"));
    showClip->setCheckable(true);
    connect(showClip, &QAction::triggered, this, [this](bool on) {
        model_.setShowClip(on);
        saveconfig();
    });

    QMenu* help = addMenu(nullptr, QStringLiteral("&Help"), QStringLiteral("Help1"));
    QMenu* zeltra = addMenu(help, QStringLiteral("Zeltra Manual"), QStringLiteral("ZeltraManual1"));
    addItem(zeltra, QStringLiteral("English"), QStringLiteral("English1"));
    addItem(zeltra, QStringLiteral("French"), QStringLiteral("French1"));
    QMenu* kelvo = addMenu(help, QStringLiteral("Kelvo Manual"), QStringLiteral("KelvoManual1"));
    addItem(kelvo, QStringLiteral("English"), QStringLiteral("English2"));
    addItem(kelvo, QStringLiteral("French"), QStringLiteral("French2"));
    addItem(help, QStringLiteral("All manuals"), QStringLiteral("All1"));
    addItem(help, QStringLiteral("About"), QStringLiteral("About1"));
    addItem(help, QStringLiteral("Online Support"), QStringLiteral("OnlineSupport1"));
    buildRecentMenu();
}

QAction* Trs422kbdf::action(const QString& name) const
{
    for (QAction* a : findChildren<QAction*>())
        if (a->objectName() == name)
            return a;
    return nullptr;
}

QMenu* Trs422kbdf::menu(const QString& name) const { return findChild<QMenu*>(name); }
