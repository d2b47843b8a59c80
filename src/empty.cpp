// Placeholder so that a source folder without code still makes a library.
