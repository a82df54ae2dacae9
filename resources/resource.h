#ifndef QUILLMARK_RESOURCE_H
#define QUILLMARK_RESOURCE_H

// Resource identifiers shared by the resource script and the program.
#define IDI_QUILLMARK 1

#endif
