// Every QtWidgets header includes this one first. The core libraries find this copy before Qt's, so a widget
// header in a core file stops the build here (see CMakeLists.txt).
#error "a core library file includes a widget header; windows and parts belong in src/ui, src/pages or a ui/ subfolder"
