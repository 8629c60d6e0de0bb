#include "app/frame.h"

int main(int argc, char** argv) { return yz::app::startApplication(argc, argv); }
