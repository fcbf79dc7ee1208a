#pragma once

namespace quillfen {

class SheetHost;

// Registers the sheet of every flag with its size key. A new sheet replaces
// its stand-in here, in one line.
void registerSheets(SheetHost& host);

} // namespace quillfen
