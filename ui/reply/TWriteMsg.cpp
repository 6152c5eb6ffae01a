// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/reply/TWriteMsg.h"

#include "core/ActionGuard.h"
#include "core/CharacterSet.h"
#include "core/DosFont.h"
#include "core/UiServices.h"
#include "library/LibraryFile.h"
#include "packet/HeaderExtensions.h"
#include "reply/EditorText.h"
#include "reply/Recipients.h"
#include "session/Session.h"
#include "ui/library/TListe.h"
#include "ui/reply/TCarbon.h"
#include "ui/reply/TDestin.h"
#include "ui/widgets/Buttons.h"
#include "ui/widgets/DosTextBox.h"
#include "ui/widgets/Keyboard.h"
#include "ui/widgets/NameDialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QSyntaxHighlighter>
#include <QVBoxLayout>

namespace velk {

namespace {

QColor windowsColour(std::uint32_t v) {
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

// Quotation lines in the quote colour, as the viewer shows them.
class QuoteHighlighter : public QSyntaxHighlighter {
public:
    QuoteHighlighter(QTextDocument* document, QColor colour)
        : QSyntaxHighlighter(document), colour_(colour) {}
    void setColour(QColor colour) {
        colour_ = colour;
        rehighlight();
    }

protected:
    void highlightBlock(const QString& text) override {
        if (IsQuotationLine(unicodeToDos(text.left(6))))
            setFormat(0, int(text.size()), colour_);
    }

private:
    QColor colour_;
};

QString glyphs(const std::string& dos) {
    return dosToUnicode(dos);
}

} // namespace

TWriteMsg::TWriteMsg(Session& session, UiServices& ui) : session_(session), ui_(ui) {
    setObjectName(QStringLiteral("WriteMsg"));
    setWindowTitle(QStringLiteral("Ecriture d'un message"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(758, 564);

    chStatut = new QComboBox(this);
    chStatut->setObjectName(QStringLiteral("chStatut"));
    chStatut->addItems({QStringLiteral("Public"), QStringLiteral("Privé")});
    chConf = new QComboBox(this);
    chConf->setObjectName(QStringLiteral("chConf"));
    chConf->setFont(dosFont());
    // A long conference name is cut in the field rather than pushing the others aside.
    chConf->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    chConf->setMinimumContentsLength(36);
    ChDate = new QLabel(this);
    ChAuteur = new QLabel(this);
    ChAuteur->setFont(dosFont());
    chDest = nameField(this, MessageWriting::nameWidth(false));
    chDest->setObjectName(QStringLiteral("chDest"));
    AmisBtn = dialogButton(QStringLiteral("C&hoix"),
                           QStringLiteral("choisir un nom dans une liste"), this);
    chSujet = new QLineEdit(this);
    chSujet->setObjectName(QStringLiteral("chSujet"));
    chSujet->setMaxLength(MessageWriting::subjectWidth(false));
    chSujet->setFont(dosFont());
    Reponse = new DosTextBox(this);
    Reponse->setObjectName(QStringLiteral("Reponse"));
    Reponse->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Tag = new DosTextBox(this);
    Tag->setObjectName(QStringLiteral("Tag"));
    Tag->setReadOnly(true);
    Tag->hide();

    OKBtn = dialogButton(QStringLiteral("&Envoyer"), QStringLiteral("Valider ce message"), this);
    CancelBtn =
        dialogButton(QStringLiteral("Ann&uler"), QStringLiteral("Annuler ce message"), this);
    HelpBtn = dialogButton(QStringLiteral("&Aide"), QStringLiteral("Aide contextuelle"), this);
    EnteteBtn = dialogButton(QStringLiteral("E&n-tête"), QStringLiteral("Choisir l'en-tête"), this);
    PdpBtn = dialogButton(QStringLiteral("&Pied de page"),
                          QStringLiteral("Choisir le pied de page"), this);
    TagBtn = dialogButton(QStringLiteral("&Tag Line"), QStringLiteral("Choisir la tagline"), this);
    ExportBtn =
        dialogButton(QStringLiteral("E&xporter"), QStringLiteral("Sauvegarder ce message"), this);
    ImportBtn = dialogButton(QStringLiteral("&Importer"),
                             QStringLiteral("Importer un fichier de texte"), this);
    CarbonBtn =
        dialogButton(QStringLiteral("&Carbon Copy"), QStringLiteral("Envoyer une copie"), this);

    auto* fields = new QGridLayout;
    const auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    fields->addWidget(label(QStringLiteral("Statut :"), chStatut), 0, 0);
    fields->addWidget(chStatut, 0, 1);
    fields->addWidget(label(QStringLiteral("Date :"), ChDate), 0, 2);
    fields->addWidget(ChDate, 0, 3);
    fields->addWidget(label(QStringLiteral("Conférence :"), chConf), 1, 0);
    fields->addWidget(chConf, 1, 1);
    fields->addWidget(label(QStringLiteral("Auteur :"), ChAuteur), 1, 2);
    fields->addWidget(ChAuteur, 1, 3);
    fields->addWidget(label(QStringLiteral("Destinataire :"), chDest), 2, 0);
    auto* dest = new QHBoxLayout;
    dest->addWidget(chDest);
    dest->addWidget(AmisBtn);
    fields->addLayout(dest, 2, 1);
    fields->addWidget(label(QStringLiteral("Sujet :"), chSujet), 2, 2);
    fields->addWidget(chSujet, 2, 3);

    auto* text = new QHBoxLayout;
    text->addStretch();
    text->addWidget(Reponse);
    text->addStretch();
    // Nine captions do not hold on one row of the window in a desktop's font: the message's
    // own actions on the first row, what the libraries add on the second.
    auto* buttons = new QVBoxLayout;
    for (const auto& row :
         {std::initializer_list<QPushButton*>{OKBtn, CancelBtn, HelpBtn, ExportBtn, ImportBtn},
          {EnteteBtn, PdpBtn, TagBtn, CarbonBtn}}) {
        auto* line = new QHBoxLayout;
        for (QPushButton* b : row)
            line->addWidget(b);
        buttons->addLayout(line);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(text, 1);
    layout->addWidget(Tag);
    layout->addLayout(buttons);

    new QuoteHighlighter(Reponse->document(), windowsColour(session_.settings.quoteColour));

    connect(OKBtn, &QPushButton::clicked, this, &TWriteMsg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TWriteMsg::CancelBtnClick);
    connectHelp(*this, *HelpBtn, ui_, 6000);
    for (const auto& [button, kind] :
         {std::pair{EnteteBtn, LibraryKind::Headers}, std::pair{PdpBtn, LibraryKind::Footers},
          std::pair{TagBtn, LibraryKind::Taglines}})
        connect(button, &QPushButton::clicked, this,
                [this, kind = kind] { insertFromLibrary(kind); });
    connect(ExportBtn, &QPushButton::clicked, this, &TWriteMsg::ExportBtnClick);
    connect(ImportBtn, &QPushButton::clicked, this, &TWriteMsg::ImportBtnClick);
    connect(CarbonBtn, &QPushButton::clicked, this, &TWriteMsg::CarbonBtnClick);
    connect(AmisBtn, &QPushButton::clicked, this, &TWriteMsg::AmisBtnClick);
    connect(chStatut, &QComboBox::activated, this, &TWriteMsg::chStatutChange);
    connect(chSujet, &QLineEdit::editingFinished, this, &TWriteMsg::chSujetExit);
}

void TWriteMsg::applyColours() {
    QPalette p = Reponse->palette();
    p.setColor(QPalette::Text, windowsColour(session_.settings.inkColour));
    p.setColor(QPalette::Base, windowsColour(session_.settings.backColour));
    Reponse->setPalette(p);
    if (auto* h = Reponse->document()->findChild<QuoteHighlighter*>())
        h->setColour(windowsColour(session_.settings.quoteColour));
}

void TWriteMsg::InitEditeur() {
    applyColours();
    // Exactly MaxCar cells of text; a width the window cannot hold is cut to the cells it can.
    const QMargins margins = layout()->contentsMargins();
    const int room = width() - margins.left() - margins.right() - Reponse->widthFor(0);
    Reponse->setLineWidth(
        std::clamp(session_.settings.maxCar, 1, std::max(room / Reponse->cellWidth(), 1)));
}

void TWriteMsg::fillFields(const EditorDocument& d) {
    document_ = d;
    chStatut->setCurrentIndex(d.isPrivate ? 1 : 0);
    chStatut->setStyleSheet(d.isPrivate ? QStringLiteral("background: red") : QString());
    chConf->clear();
    for (const std::string& item : d.conferenceList)
        chConf->addItem(glyphs(item));
    chConf->setCurrentIndex(d.conference);
    ChDate->setText(d.dateLabel);
    ChAuteur->setText(glyphs(d.author));
    const bool qwke = session_.packet.control.readsQwke;
    chDest->setLimit(MessageWriting::nameWidth(qwke));
    chSujet->setMaxLength(MessageWriting::subjectWidth(qwke));
    chDest->setDosText(d.recipient);
    chSujet->setText(glyphs(d.subject));
    Reponse->setDosLines(d.lines);
    Tag->setDosLines(d.tagBox);
    InitEditeur();
}

EditorDocument TWriteMsg::Document() const {
    EditorDocument d = document_;
    d.isPrivate = chStatut->currentIndex() == 1;
    d.conference = std::max(chConf->currentIndex(), 0);
    d.recipient = chDest->dosText();
    d.subject = unicodeToDos(chSujet->text());
    d.lines = Reponse->shownLines();
    d.tagBox = Tag->dosParagraphs();
    if (d.tagBox.size() == 1 && d.tagBox[0].empty())
        d.tagBox.clear();
    return d;
}

void TWriteMsg::setDialogs(TListe& chooser, TDestin& recipient, TCarbon& carbon) {
    chooser_ = &chooser;
    recipientDialog_ = &recipient;
    carbonDialog_ = &carbon;
}

bool TWriteMsg::run(QObject& opener, const Start& start) {
    writing_.emplace(session_, ui_,
                     [this](const std::string& preset) { return recipientDialog_->Ask(preset); });
    std::optional<EditorDocument> d;
    runAction(ui_, [&] { d = start(*writing_); });
    bool stored = false;
    if (d) {
        session_.browser.CurrentConference = d->conference;
        fillFields(*d);
        ui_.runModalOver(*this, opener);
        runAction(ui_, [&] { stored = writing_->finish(); });
    }
    writing_.reset();
    return stored;
}

bool TWriteMsg::writeNew(QObject& opener) {
    const int conference = session_.browser.CurrentConference;
    return run(opener, [&](MessageWriting& w) { return w.startNew(conference); });
}

bool TWriteMsg::answer(const MessageHeader& answered, const std::string& text,
                       const ShownNames& shown, QObject& opener) {
    return run(opener, [&](MessageWriting& w) -> std::optional<EditorDocument> {
        const BusyCursor busy(ui_);
        return w.startAnswer(answered, text, shown);
    });
}

bool TWriteMsg::writeFromMessage(const MessageHeader& shownHeader, const std::string& text,
                                 const ShownNames& shown, QObject& opener) {
    const int conference = session_.browser.CurrentConference;
    return run(opener, [&](MessageWriting& w) {
        return w.startWriteFromMessage(shownHeader, text, shown, conference);
    });
}

bool TWriteMsg::forward(const MessageHeader& forwarded, const std::string& text,
                        const ShownNames& shown, QObject& opener) {
    return run(opener, [&](MessageWriting& w) { return w.startForward(forwarded, text, shown); });
}

bool TWriteMsg::modify(int index, QObject& opener) {
    return run(opener, [&](MessageWriting& w) -> std::optional<EditorDocument> {
        const BusyCursor busy(ui_);
        return w.startModification(index);
    });
}

void TWriteMsg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    SavedFlag = false;
    move(17, 0);
    if (!writing_ || !writing_->flags().AnswerFlag)
        chSujet->setFocus();
    else
        OKBtn->setFocus();
}

void TWriteMsg::OKBtnClick() {
    SavedFlag = true;
    chSujetExit();
    if (!writing_)
        return;
    const EditorDocument d = Document();
    bool written = false;
    runAction(ui_, [&] { written = writing_->send(d); });
    // A message that could not be written stays on screen, so that the user can free some
    // space and send it again, or export it.
    if (!written) {
        SavedFlag = false;
        return;
    }
    QDialog::done(QDialog::Accepted);
}

void TWriteMsg::CancelBtnClick() {
    if (!writing_) {
        SavedFlag = true;
        QDialog::done(QDialog::Rejected);
        return;
    }
    switch (writing_->askCancel()) {
    case CancelOutcome::Save:
        OKBtnClick();
        break;
    case CancelOutcome::Discard:
        SavedFlag = true;
        QDialog::done(QDialog::Rejected);
        break;
    case CancelOutcome::Stay:
        break;
    }
}

void TWriteMsg::reject() {
    CancelBtnClick();
}

void TWriteMsg::closeEvent(QCloseEvent* event) {
    if (!SavedFlag)
        CancelBtnClick();
    if (SavedFlag)
        event->accept();
    else
        event->ignore();
}

void TWriteMsg::chStatutChange(int index) {
    chStatut->setStyleSheet(index == 1 ? QStringLiteral("background: red")
                                       : QStringLiteral("background: white"));
}

void TWriteMsg::chSujetExit() {
    if (writing_)
        writing_->setSubject(unicodeToDos(chSujet->text()));
}

void TWriteMsg::ImportBtnClick() {
    QTextCursor cursor = Reponse->textCursor();
    cursor.setPosition(cursor.selectionEnd());
    const int insertAt = cursor.blockNumber() + 1;
    runAction(ui_, [&] {
        if (!writing_)
            return;
        const auto lines = writing_->importText();
        if (!lines)
            return;
        EditorLines paragraphs = Reponse->dosParagraphs();
        paragraphs.insert(paragraphs.begin() +
                              std::min<std::ptrdiff_t>(insertAt, std::ptrdiff_t(paragraphs.size())),
                          lines->begin(), lines->end());
        Reponse->setDosLines(paragraphs);
    });
}

void TWriteMsg::ExportBtnClick() {
    const EditorDocument d = Document();
    runAction(ui_, [&] {
        if (writing_)
            writing_->exportText(d);
    });
}

void TWriteMsg::AmisBtnClick() {
    if (const auto name =
            CorrespondentName(session_, chooser_->Choose(LibraryKind::Correspondents)))
        chDest->setDosText(*name);
}

void TWriteMsg::CarbonBtnClick() {
    const std::string name = carbonDialog_->Ask();
    if (name.empty())
        return;
    EditorDocument d = Document();
    runAction(ui_, [&] {
        if (writing_)
            writing_->carbonCopy(d, name);
    });
    // The copy cleaned the end of the text.
    Reponse->setDosLines(d.lines);
}

void TWriteMsg::insertFromLibrary(LibraryKind kind) {
    if (!writing_)
        return;
    const std::optional<int> index = chooser_->Choose(kind);
    if (!index)
        return;
    const EditorDocument d = Document();
    runAction(ui_, [&] {
        const std::optional<LibraryInsertion> insertion =
            writing_->libraryInsertion(kind, *index, d);
        if (!insertion)
            return;
        switch (insertion->place) {
        case LibraryInsertion::Place::Top:
            Reponse->insertLinesAt(QTextCursor::Start, insertion->lines);
            break;
        case LibraryInsertion::Place::End:
            Reponse->insertLinesAt(QTextCursor::End, insertion->lines);
            break;
        case LibraryInsertion::Place::TagBox:
            Tag->setDosLines(insertion->lines);
            break;
        }
    });
}

} // namespace velk
