// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "packet/AnsiRenderer.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <string_view>

namespace velk {

struct PacketControl;
struct PacketSession;
class UiServices;

// "Bulletin N°" and what follows the first separator of the file name ("." when every
// bulletin name has one, else "-"): BLT-0.12 gives "Bulletin N°12", BLT-7 "Bulletin N°7".
QString bulletinListLine(std::string_view fileName, bool numberedAfterDot);
// One line per bulletin, in the order of BulletinFiles.
QStringList bulletinListLines(const PacketControl& control);

// Where the packet's file `name` (DOS bytes, trailing blanks ignored) lies in the work
// directory, whatever the case of its name on disk; the plain joined path when there is no
// such file. nullopt for a name that is no plain file name ("..", a "/"), which a hostile
// control file could use to show a file from elsewhere.
std::optional<QString> packetFilePath(const PacketSession& session, std::string_view name);

inline const QString kLighterColoursCaption = QStringLiteral("Couleurs plus claires");
inline const QString kDarkerColoursCaption = QStringLiteral("Couleurs plus fonçées");

// What the bulletin viewer shows: a bulletin of the packet or the sysop's news, drawn by the
// screen renderer into an image 641 pixels wide, and the way through the bulletins.
class BulletinViewer {
public:
    BulletinViewer(PacketSession& session, UiServices& ui);

    // The list's choice: draws the bulletin at that position of BulletinFiles. False, after
    // the renderer's message, when the file cannot be read.
    bool showBulletin(int position);
    // The news file of the control file; false when it cannot be read.
    bool showNews();

    // Draws the bulletin at CurrentBulletin and names it in the caption.
    void MajBulletin();

    // The four navigation buttons; each runs MajBulletin when it moves (the first and last
    // always do). False when nothing happened.
    bool first();
    bool previous();
    bool next();
    bool last();

    // Switches palettes and draws the file on screen again.
    void toggleColours();
    // The colour button's caption: the palette it switches to.
    QString coloursCaption() const;

    // Releases the file kept by the renderer (the viewer closes).
    void release();

    const QImage& image() const { return image_; }
    // The colour around the image: black for a screen with escape sequences, else white.
    QRgb background() const { return renderer_.Background; }
    // Height of the drawing in pixels: 16 per line.
    int scrollRange() const { return renderer_.LineCount * kAnsiCellHeight; }
    const QString& caption() const { return caption_; }
    bool brightColours() const { return renderer_.BrightColours; }
    const AnsiRendererState& renderer() const { return renderer_; }

    int CurrentBulletin = 0;
    std::string CurrentViewerFile;

private:
    int bulletinCount() const;
    // Measures and draws CurrentViewerFile; false when it could not be read.
    bool redraw();

    PacketSession& session_;
    UiServices& ui_;
    AnsiRendererState renderer_;
    QImage image_;
    QString caption_;
};

} // namespace velk
