// Placeholder: the link is being written in its own change. Until then frames are dropped,
// as they are when no port is open.
#include "link/TDownloadf.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

TDownloadf::TDownloadf(zeltra::LayoutModel& model, TComNumberF& picker, Prompts& prompts,
                       QWidget* parent)
    : QDialog(parent), model_(model), picker_(picker), prompts_(prompts),
      ComboBox1(new QComboBox(this)), Memo1(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("Downloadf"));
    setWindowTitle(QStringLiteral("Connect"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ComboBox1);
    layout->addWidget(Memo1);
    Memo1->hide();
}

void TDownloadf::Setupcom() {}
void TDownloadf::Port1Click() {}
void TDownloadf::sendkey(std::uint8_t) {}
void TDownloadf::sendjog(int) {}
void TDownloadf::setTraceVisible(bool visible) { Memo1->setVisible(visible); }
bool TDownloadf::traceVisible() const { return !Memo1->isHidden(); }
void TDownloadf::selectBlock(int index) { ComboBox1->setCurrentIndex(index); }
QString TDownloadf::portCaption() const { return QStringLiteral("Com?"); }
