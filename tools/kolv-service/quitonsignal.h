// Turns SIGINT and SIGTERM into a quit of the event loop, so that the service
// still records that it stopped. A signal handler may do almost nothing; it
// only writes a byte into a socket pair that the event loop watches.
#pragma once

class QCoreApplication;

// Installs the handlers once; returns false when the socket pair or the
// handlers could not be set up.
bool quitOnSignal(QCoreApplication &app);
