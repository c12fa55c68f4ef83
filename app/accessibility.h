#pragma once

class MainForm;

// Makes the window readable by screen readers: gives the window and each of its
// controls a Bulgarian accessible name, a description where the name alone says
// too little (the canvas says what it shows and how to play), ties the "X" and
// "Y" headings to their lists, and exposes the canvas with the canvas role.
// Call once, after the controls exist.
void setUpAccessibility(MainForm &form);
