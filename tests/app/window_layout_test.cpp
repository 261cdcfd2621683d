// The window's layout: resizable from its default size, with the report whole and the folder
// list taking what the window gains; a path that does not fit is elided in the middle.
