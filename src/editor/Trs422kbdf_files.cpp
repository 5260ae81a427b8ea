// Layout files and the settings record: the main window's file commands.
#include "editor/AppTitle.h"
#include "editor/Trs422kbdf.h"

void Trs422kbdf::readsettings()
{
    title_.set(QStringLiteral("Splash1g ") + model_.ProgramDir + QStringLiteral("rs422kbd.ini"));
}

void Trs422kbdf::saveconfig()
{
    title_.set(QStringLiteral("Splash1i"));
    title_.set(QStringLiteral("Splash1j +path_root"));
    title_.set(QStringLiteral("Splash1k"));
}

void Trs422kbdf::openlast() {}
void Trs422kbdf::Open1Click() {}
void Trs422kbdf::Save1Click() {}
void Trs422kbdf::SaveAs1Click() {}
