// Stand-in until the main window arrives.
namespace Placeholder {
int value() { return 0; }
}
