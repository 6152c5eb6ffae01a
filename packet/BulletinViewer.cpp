// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/BulletinViewer.h"

#include "core/CharacterSet.h"
#include "core/FileUtil.h"
#include "core/TextHelpers.h"
#include "core/UiServices.h"
#include "packet/PacketSession.h"

namespace velk {

QString bulletinListLine(std::string_view fileName, bool numberedAfterDot) {
    const std::size_t separator = fileName.find(numberedAfterDot ? '.' : '-');
    const std::string_view number =
        separator == std::string_view::npos ? std::string_view() : fileName.substr(separator + 1);
    return QStringLiteral("Bulletin N°") + dosToUnicode(number);
}

QStringList bulletinListLines(const PacketControl& control) {
    QStringList lines;
    for (const std::string& name : control.BulletinFiles)
        lines.append(bulletinListLine(name, control.BulletinsNumberedAfterDot));
    return lines;
}

std::optional<QString> packetFilePath(const PacketSession& session, std::string_view name) {
    const QString plain = dosToUnicode(TrimRight(name));
    if (plain.isEmpty() || plain.contains(QLatin1Char('/')) || plain == QLatin1String(".") ||
        plain == QLatin1String(".."))
        return std::nullopt;
    const QString& work = session.settings.workPath;
    return findFileNoCase(work, plain).value_or(joinPath(work, plain));
}

BulletinViewer::BulletinViewer(PacketSession& session, UiServices& ui)
    : session_(session), ui_(ui) {
    // A blank page until the first drawing.
    image_ = QImage(kAnsiImageWidth, 200, QImage::Format_RGB32);
    image_.fill(Qt::white);
    renderer_.Background = qRgb(255, 255, 255);
    renderer_.BrightColours = false;
}

int BulletinViewer::bulletinCount() const {
    return int(session_.packet.control.BulletinFiles.size());
}

bool BulletinViewer::redraw() {
    BusyCursor busy(ui_);
    const auto path = packetFilePath(session_, CurrentViewerFile);
    bool measured = false;
    if (!path) {
        ui_.message(QStringLiteral("Problème lors de la lecture du fichier ") +
                        joinPath(session_.settings.workPath, dosToUnicode(CurrentViewerFile)),
                    MessageKind::Error);
    } else {
        measured = shown(MeasureAnsiFile(renderer_, *path, image_), ui_);
    }
    if (!measured) {
        // The previous drawing would pass for this file under its caption.
        image_ = QImage();
        renderer_.LineCount = 0;
        return false;
    }
    shown(ShowAnsiFile(renderer_, image_, *path), ui_);
    return true;
}

bool BulletinViewer::showBulletin(int position) {
    if (position < 0 || position >= bulletinCount())
        return false;
    const PacketControl& control = session_.packet.control;
    caption_ = bulletinListLine(control.BulletinFiles[std::size_t(position)],
                                control.BulletinsNumberedAfterDot);
    CurrentViewerFile = control.BulletinFiles[std::size_t(position)];
    CurrentBulletin = position;
    return redraw();
}

bool BulletinViewer::showNews() {
    caption_ = QStringLiteral("Nouvelles du Sysop");
    CurrentViewerFile = TrimRight(session_.packet.control.NewsFile);
    return redraw();
}

void BulletinViewer::MajBulletin() {
    if (CurrentBulletin < 0 || CurrentBulletin >= bulletinCount())
        return;
    const PacketControl& control = session_.packet.control;
    CurrentViewerFile = control.BulletinFiles[std::size_t(CurrentBulletin)];
    redraw();
    // Named as in the list: the characters after "BLT-0." would miss a number of four
    // digits and give nothing for names of the form BLT-N.
    caption_ = bulletinListLine(CurrentViewerFile, control.BulletinsNumberedAfterDot);
}

bool BulletinViewer::first() {
    if (bulletinCount() == 0)
        return false;
    CurrentBulletin = 0;
    MajBulletin();
    return true;
}

bool BulletinViewer::previous() {
    if (CurrentBulletin <= 0 || bulletinCount() == 0)
        return false;
    --CurrentBulletin;
    MajBulletin();
    return true;
}

bool BulletinViewer::next() {
    if (CurrentBulletin + 1 > bulletinCount() - 1)
        return false;
    ++CurrentBulletin;
    MajBulletin();
    return true;
}

bool BulletinViewer::last() {
    if (bulletinCount() == 0)
        return false;
    CurrentBulletin = bulletinCount() - 1;
    MajBulletin();
    return true;
}

void BulletinViewer::toggleColours() {
    renderer_.BrightColours = !renderer_.BrightColours;
    redraw();
}

QString BulletinViewer::coloursCaption() const {
    return renderer_.BrightColours ? kDarkerColoursCaption : kLighterColoursCaption;
}

void BulletinViewer::release() {
    releaseAnsiBuffer(renderer_);
}

} // namespace velk
