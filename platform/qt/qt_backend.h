#pragma once
// The Qt 6 back end of the platform layer. The program's entry point attaches
// it once, before any form is made; from then on every form, control, menu,
// timer, dialog and the printer shows up as real Qt widgets and devices.
// Nothing else names it: form code never asks which back end runs.

// Makes the Qt application (unless one exists), installs the font
// substitutes and the bitmap engine, and gives the application object its
// back end. argc and argv are those of main; Qt takes its own options out.
void AttachQtBackend(int& argc, char** argv);

// Gives the application object back to the scripted stand-in and frees what
// AttachQtBackend made. Forms and controls with peers must be gone first.
void DetachQtBackend();
