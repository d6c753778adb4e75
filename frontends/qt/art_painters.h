#pragma once
// The drawing functions behind the artwork. Icons and toolbar images draw in a 16 x 16 unit
// square; backgrounds draw into a rectangle in device pixels.

#include <QRectF>
#include <span>

#include "artwork.h"

class QPainter;

namespace qtfront::art {

void Folder(QPainter& painter);
void File(QPainter& painter);
void Application(QPainter& painter);
// Toolbar image `index` (0 to 9); false for an index the strip does not have.
bool ToolbarImage(QPainter& painter, int index);

void LoginBackground(QPainter& painter, const QRectF& area);
void NewFolderBackground(QPainter& painter, const QRectF& area);
void MainBackground(QPainter& painter, const QRectF& area);
void ShareBackground(QPainter& painter, const QRectF& area);
void PlainBackground(QPainter& painter, const QRectF& area);
void Captions(QPainter& painter, std::span<const Caption> captions);

}  // namespace qtfront::art
