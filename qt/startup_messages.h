#pragma once

// While the application object is being made: where no platform plugin starts, Qt would abort
// with a core dump; instead one plain line says what is wrong (no display named, the display
// cannot be opened, or no usable platform plugin), Qt's own messages of that time and
// libwayland's follow it as its reasons, and the program ends with status 1. Qt's closing advice
// (reinstall the program; the plugins there are) follows only where no usable plugin is the
// reason. Once Qt has started, the messages held are passed on as usual, each once.
void ExpectDisplay();
void DisplayFound();
