#pragma once

#include <QPixmap>
#include <QRect>

namespace session {

// The network of the printing-services exercise, 573 x 339 pixels: the
// TCP/IP printer (A) and the workstation (B) stand on the network line, the
// UNIX host and the server hang from it with their printers C and D.
QPixmap printingServicesDiagram();

// Where each element and its label are drawn, in picture pixels, so that the
// places of the target tiles can be checked against them. Index 0..3 is A..D.
struct DiagramElement {
    QRect drawing;
    QRect label;
};
DiagramElement printingServicesElement(int index);
// The labels of the two hosts: 0 UNIX HOST, 1 NT SERVER.
DiagramElement printingServicesHost(int index);

} // namespace session
