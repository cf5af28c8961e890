// A real GTK 3 text window for the end-to-end tests: a text view with the focus that
// reports its text and cursor position to a file after every change.
#include <cstdio>
#include <gtk/gtk.h>
#include <string>

namespace {

const char* reportPath = nullptr;

std::string escaped(const char* text)
{
    std::string out;
    for (const char* p = text; *p; ++p) {
        if (*p == '"' || *p == '\\')
            out += '\\';
        out += *p;
    }
    return out;
}

void report(GtkTextBuffer* buffer)
{
    GtkTextIter start, end, cursor;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    gchar* text = gtk_text_buffer_get_text(buffer, &start, &end, FALSE);
    gtk_text_buffer_get_iter_at_mark(buffer, &cursor, gtk_text_buffer_get_insert(buffer));
    const std::string temporary = std::string(reportPath) + ".tmp";
    if (FILE* f = std::fopen(temporary.c_str(), "w")) {
        std::fprintf(f, "{\"text\":\"%s\",\"cursor\":%d}", escaped(text).c_str(),
                     gtk_text_iter_get_offset(&cursor));
        std::fclose(f);
        std::rename(temporary.c_str(), reportPath);
    }
    g_free(text);
}

} // namespace

int main(int argc, char** argv)
{
    gtk_init(&argc, &argv);
    if (argc < 2)
        return 2;
    reportPath = argv[1];
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "SnapwickGtkWindow");
    gtk_window_set_default_size(GTK_WINDOW(window), 600, 300);
    GtkWidget* view = gtk_text_view_new();
    gtk_container_add(GTK_CONTAINER(window), view);
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
    g_signal_connect(buffer, "changed", G_CALLBACK(+[](GtkTextBuffer* b, gpointer) { report(b); }),
                     nullptr);
    g_signal_connect(
        buffer, "mark-set",
        G_CALLBACK(+[](GtkTextBuffer* b, GtkTextIter*, GtkTextMark*, gpointer) { report(b); }),
        nullptr);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    gtk_widget_show_all(window);
    gtk_widget_grab_focus(view);
    report(buffer);
    gtk_main();
    return 0;
}
