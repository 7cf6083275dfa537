#pragma once

namespace tagwright {

// Window geometry is stated in twips (1/1440 inch); this converts with the primary screen's
// logical DPI (15 twips per pixel at 96 DPI).
int twipsToPixels(int twips);

} // namespace tagwright
