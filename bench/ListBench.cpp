// SPDX-License-Identifier: GPL-2.0-or-later
// The browser's message list as the user sees it: the window's click on a sort button or on
// a conference, up to the list painted. Goals: a re-sort of 50,000 messages shown within
// 60 ms, a 200,000-message conference opened within 150 ms, at most 200 bytes kept per
// listed message. Shapes include the worst ones: newest first, one author.
#include "bench/support/WidgetBenchMain.h"
#include "core/UiServices.h"
#include "mail/Browser.h"
#include "packet/ControlFile.h"
#include "packet/PacketBuilder.h"
#include "session/Session.h"
#include "tests/support/ConferenceShapes.h"
#include "ui/mail/TMessagerie.h"
#include "ui/mail/TRecherche.h"
#include "ui/widgets/WholeRowsList.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>
#include <utility>

namespace velk {

namespace {

// One unpacked packet of one conference of the shape, and the browser over it.
struct ShownConference {
    std::pair<ConferenceShape, int> key;
    QTemporaryDir dir;
    Session session;
    HeadlessUiServices ui;
    std::unique_ptr<TMessagerie> window;

    explicit ShownConference(std::pair<ConferenceShape, int> k) : key(k) {
        PacketBuilder b;
        b.conference(0, shapeName(k.first));
        addShapedMessages(b, 0, k.first, k.second, 2026);
        b.writeTo(dir.path());
        session.settings.workPath = dir.path();
        shown(InitQWK(session), ui);
        window = std::make_unique<TMessagerie>(session, ui);
        window->fillConferences(buildConferenceList(session));
        window->show();
        QApplication::processEvents();
    }
};

ShownConference& shown(ConferenceShape shape, int messages) {
    static std::unique_ptr<ShownConference> current;
    if (!current || current->key != std::pair(shape, messages)) {
        current.reset();
        current = std::make_unique<ShownConference>(std::pair(shape, messages));
    }
    return *current;
}

std::size_t heapInUse() {
    return mallinfo2().uordblks;
}

QPushButton* sortButton(TMessagerie& w, int order) {
    QPushButton* const buttons[] = {w.TriDateBtn, w.TriAuteurBtn, w.TriDestBtn, w.TriSujetBtn};
    return buttons[order - 1];
}

// A sort button on the loaded conference, up to the list painted.
void ResortShown(benchmark::State& state, ConferenceShape shape, int messages, int order) {
    ShownConference& c = shown(shape, messages);
    TMessagerie& w = *c.window;
    w.ListConfClick();
    const std::size_t before = heapInUse();
    for (auto _ : state) {
        sortButton(w, order)->click();
        w.ListMsg->viewport()->repaint();
    }
    state.counters["bytes_per_message_after_sort"] =
        (double(heapInUse()) - double(before)) / messages;
}

// A click on the conference, not loaded: index and headers read, sorted, painted; and the
// heap the listing keeps.
void OpenShown(benchmark::State& state, ConferenceShape shape, int messages, int order) {
    ShownConference& c = shown(shape, messages);
    // A window that has listed nothing yet, so that the heap it keeps is the listing's.
    c.window.reset();
    c.session.browser = BrowserState{};
    malloc_trim(0);
    c.window = std::make_unique<TMessagerie>(c.session, c.ui);
    c.window->fillConferences(buildConferenceList(c.session));
    c.window->show();
    QApplication::processEvents();
    TMessagerie& w = *c.window;
    c.session.browser.SortOrder = MessageOrder(order);
    const std::size_t empty = heapInUse();
    double kept = 0;
    for (auto _ : state) {
        c.session.browser.LoadedConference.reset();
        w.ListConfClick();
        w.ListMsg->viewport()->repaint();
        state.PauseTiming();
        kept = double(heapInUse()) - double(empty);
        state.ResumeTiming();
    }
    state.counters["bytes_per_message"] = kept / messages;
    state.counters["listed"] = w.ListMsg->count();
}

// The search window finding every message of the conference, up to its results painted;
// and the heap the results keep per message found.
void SearchShown(benchmark::State& state, ConferenceShape shape, int messages) {
    ShownConference& c = shown(shape, messages);
    TRecherche w(c.session, c.ui);
    w.show();
    w.Texte->setText(QStringLiteral("Sujet")); // every subject
    QApplication::processEvents();
    malloc_trim(0);
    const std::size_t empty = heapInUse();
    double kept = 0;
    for (auto _ : state) {
        w.ChercherBtnClick();
        while (w.Etat->text() == QStringLiteral("Recherche en cours…"))
            QApplication::processEvents();
        w.Resultats->viewport()->repaint();
        state.PauseTiming();
        kept = double(heapInUse()) - double(empty);
        state.ResumeTiming();
    }
    state.counters["bytes_per_hit"] = kept / messages;
    state.counters["listed"] = w.Resultats->model()->rowCount();
}

const char* const kOrders[] = {"numero", "auteur", "destinataire", "sujet"};

const bool registered = [] {
    for (ConferenceShape shape : {ConferenceShape::NewestFirst, ConferenceShape::OneAuthor,
                                  ConferenceShape::Ascending, ConferenceShape::Random}) {
        for (int order = 1; order <= 4; ++order) {
            const std::string name = std::string(shapeName(shape)) + "/" + kOrders[order - 1];
            benchmark::RegisterBenchmark(("ResortShown50k/" + name).c_str(), ResortShown, shape,
                                         50000, order)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
    }
    for (ConferenceShape shape :
         {ConferenceShape::NewestFirst, ConferenceShape::OneAuthor, ConferenceShape::Random}) {
        for (int order : {1, 2}) {
            const std::string name = std::string(shapeName(shape)) + "/" + kOrders[order - 1];
            benchmark::RegisterBenchmark(("OpenShown200k/" + name).c_str(), OpenShown, shape,
                                         200000, order)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
    }
    for (ConferenceShape shape : {ConferenceShape::NewestFirst, ConferenceShape::OneAuthor}) {
        benchmark::RegisterBenchmark((std::string("SearchShown200k/") + shapeName(shape)).c_str(),
                                     SearchShown, shape, 200000)
            ->Iterations(2)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    return true;
}();

} // namespace

} // namespace velk

int main(int argc, char** argv) {
    return velk::runWidgetBenchmarks(argc, argv);
}
