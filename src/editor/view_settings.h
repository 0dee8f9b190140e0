#pragma once
// The editor's own switches: colours for the syntax, the line-number gutter
// and Find's wrapping around. All start off, as a plain editor shows black
// text from the left edge; the application keeps the user's choice.
struct ViewSettings {
    bool colourSyntax = false;
    bool lineNumbers = false;
    bool findWrapAround = false;
};
