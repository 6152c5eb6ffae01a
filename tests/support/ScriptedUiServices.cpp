// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/support/ScriptedUiServices.h"

#include "tests/support/OpenerVisibility.h"

#include <QVariant>

#include <gtest/gtest.h>

namespace velk {

namespace {

const char* kindName(ScriptedUiServices::Kind kind) {
    using K = ScriptedUiServices::Kind;
    switch (kind) {
    case K::Message:
        return "message";
    case K::YesNo:
        return "yes/no question";
    case K::YesNoCancel:
        return "yes/no/cancel question";
    case K::OpenFile:
        return "open dialog";
    case K::SaveFile:
        return "save dialog";
    case K::Directory:
        return "directory dialog";
    case K::Font:
        return "font dialog";
    case K::Colour:
        return "colour dialog";
    case K::Find:
        return "find dialog";
    case K::Printer:
        return "print dialog";
    case K::Modal:
        return "modal window";
    case K::Help:
        return "help";
    }
    return "?";
}

bool isError(const ScriptedUiServices::Event& e) {
    return e.kind == ScriptedUiServices::Kind::Message && e.messageKind != MessageKind::Information;
}

} // namespace

ScriptedUiServices::~ScriptedUiServices() {
    // A test stopped by a failed assertion leaves its script half-way; saying so adds nothing.
    if (::testing::Test::HasFatalFailure())
        return;
    for (const Scripted& s : answers_)
        ADD_FAILURE() << "scripted answer never used: " << kindName(s.kind);
    QStringList unread = unreadErrors_;
    for (std::size_t i = read_; i < events_.size(); ++i) {
        if (isError(events_[i]))
            unread.append(events_[i].text);
    }
    for (const QString& text : unread)
        ADD_FAILURE() << "message the test did not expect: " << text.toStdString();
}

void ScriptedUiServices::clear() {
    for (std::size_t i = read_; i < events_.size(); ++i) {
        if (isError(events_[i]))
            unreadErrors_.append(events_[i].text);
    }
    events_.clear();
    read_ = 0;
}

void ScriptedUiServices::answerYesNo(bool yes) {
    answers_.push_back(Scripted{Kind::YesNo, yes ? Answer::Yes : Answer::No});
}
void ScriptedUiServices::answerYesNoCancel(Answer a) {
    answers_.push_back(Scripted{Kind::YesNoCancel, a});
}
void ScriptedUiServices::answerOpenFile(std::optional<QString> path) {
    answers_.push_back(Scripted{Kind::OpenFile, std::move(path)});
}
void ScriptedUiServices::answerSaveFile(std::optional<QString> path) {
    answers_.push_back(Scripted{Kind::SaveFile, std::move(path)});
}
void ScriptedUiServices::answerDirectory(std::optional<QString> path) {
    answers_.push_back(Scripted{Kind::Directory, std::move(path)});
}
void ScriptedUiServices::answerFont(std::optional<QFont> font) {
    answers_.push_back(Scripted{Kind::Font, std::move(font)});
}
void ScriptedUiServices::answerColour(std::optional<QColor> colour) {
    answers_.push_back(Scripted{Kind::Colour, colour});
}
void ScriptedUiServices::answerFind(std::optional<FindRequest> find) {
    answers_.push_back(Scripted{Kind::Find, std::move(find)});
}
void ScriptedUiServices::answerPrinter(bool accepted) {
    answers_.push_back(Scripted{Kind::Printer, accepted});
}

QStringList ScriptedUiServices::texts() const {
    markRead();
    QStringList out;
    for (const Event& e : events_) {
        if (e.kind == Kind::Message || e.kind == Kind::YesNo || e.kind == Kind::YesNoCancel)
            out.append(e.text);
    }
    return out;
}

QStringList ScriptedUiServices::messages() const {
    markRead();
    QStringList out;
    for (const Event& e : events_) {
        if (e.kind == Kind::Message)
            out.append(e.text);
    }
    return out;
}

std::optional<ScriptedUiServices::Value> ScriptedUiServices::take(Kind kind, const QString& what) {
    if (answers_.empty() || answers_.front().kind != kind) {
        ADD_FAILURE() << "unexpected prompt: " << what.toStdString();
        return std::nullopt;
    }
    Value v = std::move(answers_.front().value);
    answers_.pop_front();
    return v;
}

void ScriptedUiServices::message(const QString& text, MessageKind kind, const QString& caption) {
    events_.push_back({Kind::Message, text, caption, kind});
}

bool ScriptedUiServices::askYesNo(const QString& text, const QString& caption) {
    events_.push_back({Kind::YesNo, text, caption});
    const auto v = take(Kind::YesNo, text);
    return v && std::get<Answer>(*v) == Answer::Yes;
}

Answer ScriptedUiServices::askYesNoCancel(const QString& text, const QString& caption) {
    events_.push_back({Kind::YesNoCancel, text, caption});
    const auto v = take(Kind::YesNoCancel, text);
    return v ? std::get<Answer>(*v) : Answer::Cancel;
}

std::optional<QString> ScriptedUiServices::openFileName(const FileDialogRequest& r) {
    events_.push_back({Kind::OpenFile, r.title, {}});
    lastFileRequest_ = r;
    const auto v = take(Kind::OpenFile, r.title);
    return v ? std::get<std::optional<QString>>(*v) : std::nullopt;
}

std::optional<QString> ScriptedUiServices::saveFileName(const FileDialogRequest& r) {
    events_.push_back({Kind::SaveFile, r.title, {}});
    lastFileRequest_ = r;
    const auto v = take(Kind::SaveFile, r.title);
    return v ? std::get<std::optional<QString>>(*v) : std::nullopt;
}

std::optional<QString> ScriptedUiServices::directoryName(const FileDialogRequest& r) {
    events_.push_back({Kind::Directory, r.title, {}});
    lastFileRequest_ = r;
    const auto v = take(Kind::Directory, r.title);
    return v ? std::get<std::optional<QString>>(*v) : std::nullopt;
}

std::optional<QFont> ScriptedUiServices::chooseFont(const QFont&) {
    events_.push_back({Kind::Font, {}, {}});
    const auto v = take(Kind::Font, QStringLiteral("font dialog"));
    return v ? std::get<std::optional<QFont>>(*v) : std::nullopt;
}

std::optional<QColor> ScriptedUiServices::chooseColor(const QColor&) {
    events_.push_back({Kind::Colour, {}, {}});
    const auto v = take(Kind::Colour, QStringLiteral("colour dialog"));
    return v ? std::get<std::optional<QColor>>(*v) : std::nullopt;
}

std::optional<FindRequest> ScriptedUiServices::find(const FindRequest&) {
    events_.push_back({Kind::Find, {}, {}});
    const auto v = take(Kind::Find, QStringLiteral("find dialog"));
    return v ? std::get<std::optional<FindRequest>>(*v) : std::nullopt;
}

bool ScriptedUiServices::choosePrinter(QPrinter&) {
    events_.push_back({Kind::Printer, {}, {}});
    const auto v = take(Kind::Printer, QStringLiteral("print dialog"));
    return v && std::get<bool>(*v);
}

int ScriptedUiServices::runModal(QObject& window) {
    // Tests name our windows without their namespace.
    QString shown = QString::fromLatin1(window.metaObject()->className());
    shown.remove(QLatin1StringView("velk::"));
    const std::string name = shown.toStdString();
    events_.push_back({Kind::Modal, shown, {}});
    const auto it = modal_.find(name);
    if (it == modal_.end()) {
        ADD_FAILURE() << "unexpected modal window: " << name;
        return 0;
    }
    return it->second(window);
}

void ScriptedUiServices::runHidden(QObject& opener, const std::function<void()>& run) {
    // A window a test never showed is left as it is.
    const bool shown = setOpenerVisible && opener.property("visible").toBool();
    if (shown)
        setOpenerVisible(opener, false);
    struct ShowAgain {
        QObject* opener;
        bool shown;
        ~ShowAgain() {
            if (shown)
                setOpenerVisible(*opener, true);
        }
    } showAgain{&opener, shown};
    run();
}

void ScriptedUiServices::showHelp(int context) {
    events_.push_back({Kind::Help, QString::number(context), {}});
}

} // namespace velk
