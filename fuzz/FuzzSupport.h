#pragma once

#include <QString>

class CenterWidget;

#include <cstddef>
#include <cstdint>

// Shared by the fuzz targets: one offscreen QApplication for the whole
// run, message boxes answered at once without showing, and a scratch
// folder for files.
namespace FuzzSupport {

// Call from LLVMFuzzerInitialize.
void initialise(int *argc, char ***argv);
// A path inside the run's scratch folder.
QString scratchPath(const char *name);
// The central widget every input goes to: built once, as building one
// (seven pages and their forms) costs far more than a run.
CenterWidget &centerWidget();
// Empties the widget's receive buffer between inputs, through the receive
// path itself: a frame the size of the whole buffer pushes out anything
// left and is then taken as one (ignored) reply.
void flushReceiveBuffer(CenterWidget &widget);
// Runs what the input left queued (deferred deletes above all), so that
// each input frees what it allocated and the leak check finds nothing
// carried over.
void settle();

} // namespace FuzzSupport
