// Replaced by the tests of this folder.
