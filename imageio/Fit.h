#pragma once
// Fitting a freshly loaded picture into the canvas.

class MainWindow;

// From zW and zH at 100 %: centres the picture when it fits the canvas,
// otherwise zooms it out to fit and centres it at that zoom. Leaves zW and zH
// for the next paint to recompute.
void FitIntoCanvas(class MainWindow& w);
