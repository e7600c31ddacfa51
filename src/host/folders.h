// Folders the program writes into (snapshots, DIP switches), made when needed.
#pragma once
#include <string>

// Makes the folder and its missing parents; 0 with the reason when it cannot.
int make_folders(const std::string& path, std::string& error);
