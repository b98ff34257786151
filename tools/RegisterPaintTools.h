#pragma once
// Fills the backbone's tool creators with the nine tool classes, each under
// its EToolId. The program calls it once before the backbone starts.

void RegisterPaintTools();
