// Start-up help for the toolkit's font lookup: narrows the fonts the process can see to the faces
// the class library maps its forms' fonts to.
#pragma once

// Before the toolkit starts: if the installed substitutes for the platform's faces are found,
// makes them the only fonts the process sees, so the toolkit does not list and sort every font on
// the system on its way to a window. Otherwise (or if the lookup fails) changes nothing, and the
// system's full font configuration stays in force. False when no substitute is installed at all:
// the forms' Japanese texts cannot be shown then.
bool NarrowFontsToFormFaces();
