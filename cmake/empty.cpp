// Placeholder so that a folder without modules still forms a library.
