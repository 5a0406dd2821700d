#pragma once
// The eight figure kinds made known to a document: its figure factory then
// rebuilds stored figures (TYPE 1..9, the old rectangle 2 as the rectangle)
// as their real classes. Called once per new document.

class CPlenimetraParam;

void RegisterFigureKinds(CPlenimetraParam& doc);
