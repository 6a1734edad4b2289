// The layer step of a screen's entry: the pictures under the screen black, its overlay
// transparent, no middle layer, no fade, every level opaque.
#pragma once

class CGameView;

void ClearScreenLayers(CGameView& view);
