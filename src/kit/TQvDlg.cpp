#include "kit/TQvDlg.h"

#include "kit/TQvDlgLayout.h"
#include "kit/TQveButton.h"

#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QWindow>

#include <algorithm>

// The pictures are compiled into the static window library; naming the resource here makes
// the linker keep them in every program that uses the dialog.
static void initKitPictures() { Q_INIT_RESOURCE(kit_pictures); }

namespace dlg = zeltra::dlg;

namespace {
// Texts of the program break lines with a carriage return, alone or before a line feed.
QString withLineFeeds(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}
} // namespace

TQvDlg::TQvDlg(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    initKitPictures();
    setObjectName(QStringLiteral("TQvDlg"));
    setModal(true);
}

// The pages are made when the dialog is first used: a line edit made at start-up would load
// a font before any window needs one.
void TQvDlg::build()
{
    if (Pages)
        return;
    Pages = new QStackedWidget(this);
    Pages->setObjectName(QStringLiteral("Pages"));
    Pages->move(dlg::BorderWidth, dlg::BorderWidth);
    buildStringEntryPage();
    addPage(QStringLiteral("TabSheet1")); // page 1 is not used
    buildStandardPage();
    buildQueryPage();
    setPageHeight(dlg::MinPageHeight);
}

QWidget* TQvDlg::addPage(const QString& name)
{
    auto* page = new QWidget(Pages);
    page->setObjectName(name);
    Pages->addWidget(page);
    return page;
}

QLabel* TQvDlg::addPicture(QWidget* page, const QString& name)
{
    auto* image = new QLabel(page);
    image->setObjectName(name);
    image->setGeometry(0, 0, dlg::PictureSize, dlg::PictureSize);
    return image;
}

QLabel* TQvDlg::addText(QWidget* page, const QString& name)
{
    auto* text = new QLabel(page);
    text->setObjectName(name);
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setGeometry(dlg::TextX, 0, dlg::TextWidth, dlg::MinTextHeight);
    return text;
}

TQveButton* TQvDlg::addButton(QWidget* page, const QString& name, const QString& caption,
                              QRect place, int result)
{
    auto* button = new TQveButton(page);
    button->setObjectName(name);
    button->setGeometry(place);
    button->setCaption(caption);
    button->Colors()->setColor(TQvColors::Ring_Off, zeltra::clNavy);
    button->Colors()->setColor(TQvColors::Text_Off, zeltra::clNavy);
    connect(button, &TQveButton::OnClick, this, [this, result] { done(result); });
    return button;
}

void TQvDlg::buildStringEntryPage()
{
    P_STRINGENTRY = addPage(QStringLiteral("P_STRINGENTRY"));
    STR_Image = addPicture(P_STRINGENTRY, QStringLiteral("STR_Image"));
    STR_Text = addText(P_STRINGENTRY, QStringLiteral("STR_Text"));
    STR_Edit = new QLineEdit(P_STRINGENTRY);
    STR_Edit->setObjectName(QStringLiteral("STR_Edit"));
    STR_Edit->setGeometry(dlg::TextX, dlg::EditGap, dlg::EditWidth, dlg::EditHeight);
    // The masked entry shows every character as an asterisk.
    STR_Edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    connect(STR_Edit, &QLineEdit::returnPressed, this, [this] { done(ResultOK); });
    STR_Cancel = addButton(P_STRINGENTRY, QStringLiteral("STR_Cancel"), QStringLiteral("Cancel"),
                           QRect(129, 62, 80, 20), ResultCancel);
    STR_OK = addButton(P_STRINGENTRY, QStringLiteral("STR_OK"), QStringLiteral("OK"),
                       QRect(224, 62, 86, 20), ResultOK);
}

void TQvDlg::buildStandardPage()
{
    P_Standard = addPage(QStringLiteral("P_Standard"));
    STD_Image = addPicture(P_Standard, QStringLiteral("STD_Image"));
    STD_Text = addText(P_Standard, QStringLiteral("STD_Text"));
    STD_OK = addButton(P_Standard, QStringLiteral("STD_OK"), QStringLiteral("OK"),
                       QRect(224, 62, 86, 20), ResultOK);
}

void TQvDlg::buildQueryPage()
{
    P_QUERY = addPage(QStringLiteral("P_QUERY"));
    QRY_image = addPicture(P_QUERY, QStringLiteral("QRY_image"));
    QRY_Text = addText(P_QUERY, QStringLiteral("QRY_Text"));
    QRY_Cancel = addButton(P_QUERY, QStringLiteral("QRY_Cancel"), QStringLiteral("Cancel"),
                           QRect(112, 62, 86, 20), ResultCancel);
    QRY_OK = addButton(P_QUERY, QStringLiteral("QRY_OK"), QStringLiteral("OK"),
                       QRect(224, 62, 86, 20), ResultOK);
}

QPixmap TQvDlg::picture(int kind)
{
    initKitPictures();
    return QPixmap(dlg::picturePath(kind));
}

void TQvDlg::reject() { done(ResultCancel); }

void TQvDlg::setVisible(bool visible)
{
    if (visible)
        build();
    QDialog::setVisible(visible);
}

// Centred on the owner, or on the mouse pointer without one, using the size the dialog has
// before its new text is set.
void TQvDlg::place(QWidget* owner)
{
    const QSize size = frameGeometry().size();
    if (owner)
        move(dlg::centredOn(owner->window()->frameGeometry(), size));
    else
        move(dlg::centredAt(QCursor::pos(), size));
}

void TQvDlg::setPageHeight(int height)
{
    Pages->setFixedSize(dlg::ClientWidth, height);
    for (QWidget* page : {P_STRINGENTRY, P_Standard, P_QUERY})
        anchorButtons(page, height);
    setFixedSize(dlg::ClientWidth + 2 * dlg::BorderWidth, height + 2 * dlg::BorderWidth);
}

void TQvDlg::anchorButtons(QWidget* page, int pageHeight)
{
    for (TQveButton* button : page->findChildren<TQveButton*>(Qt::FindDirectChildrenOnly))
        button->move(button->x(), dlg::buttonTop(pageHeight));
}

int TQvDlg::wrappedHeight(const QLabel* label, int minimum)
{
    const int lineHeight = label->fontMetrics().height();
    return std::max({label->heightForWidth(dlg::TextWidth), lineHeight, minimum});
}

void TQvDlg::showText(QLabel* text, const QString& message, QWidget* focus)
{
    text->setText(withLineFeeds(message));
    const int height = wrappedHeight(text, dlg::MinTextHeight);
    text->resize(dlg::TextWidth, height);
    setPageHeight(dlg::textPageHeight(height));
    focus->setFocus();
}

int TQvDlg::runModal(QWidget* owner)
{
    winId(); // the native window must exist to name its owner
    if (QWindow* window = windowHandle())
        window->setTransientParent(owner ? owner->window()->windowHandle() : nullptr);
    running_ = true;
    const int result = exec();
    running_ = false;
    return result == ResultOK ? ResultOK : ResultCancel;
}

void TQvDlg::Message(const QString& text)
{
    if (running_) {
        TQvDlg nested;
        nested.setMainWindow(mainWindow_);
        nested.Message(text);
        return;
    }
    build();
    QWidget* owner = mainWindow_.data();
    place(owner);
    setWindowTitle(QString());
    Pages->setCurrentIndex(PageStandard);
    STD_Image->setPixmap(picture(dlg::DT_DEFAULT));
    showText(STD_Text, text, STD_OK);
    runModal(owner);
}

int TQvDlg::Query(QWidget* owner, int kind, const QString& text, const QString& caption)
{
    if (running_) {
        TQvDlg nested;
        return nested.Query(owner, kind, text, caption);
    }
    build();
    place(owner);
    setWindowTitle(caption);
    Pages->setCurrentIndex(PageQuery);
    QRY_image->setPixmap(picture(kind));
    showText(QRY_Text, text, QRY_OK);
    return runModal(owner);
}

int TQvDlg::StringEntry(QWidget* owner, int kind, const QString& prompt, QString& answer,
                        const QString& initial, const QString& caption)
{
    if (running_) {
        TQvDlg nested;
        return nested.StringEntry(owner, kind, prompt, answer, initial, caption);
    }
    build();
    place(owner);
    setWindowTitle(caption);
    Pages->setCurrentIndex(PageStringEntry);
    STR_Text->setText(withLineFeeds(prompt));
    const int promptHeight = wrappedHeight(STR_Text, 0);
    STR_Text->resize(dlg::TextWidth, promptHeight);
    const dlg::EntryLayout layout = dlg::entryLayout(promptHeight);
    STR_Edit->move(dlg::TextX, layout.editTop);
    setPageHeight(layout.pageHeight);
    const bool masked = kind == dlg::DT_LOCK;
    STR_Image->setPixmap(picture(masked ? dlg::DT_LOCK : dlg::DT_DEFAULT));
    STR_Edit->setEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
    STR_Edit->setText(initial);
    STR_Edit->selectAll();
    STR_Edit->setFocus();
    const int result = runModal(owner);
    answer = result == ResultOK ? STR_Edit->text() : initial;
    STR_Edit->clear(); // a masked entry is not kept after the dialog
    return result;
}
