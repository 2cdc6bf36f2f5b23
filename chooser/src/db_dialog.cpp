// The database dialog: the server's files in a list or details view, the file name field, the
// file-type box, OK and Cancel, and the folding "Advanced Filter" panel.
#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <tesk/platform/system.h>

#include "chooser_rules.h"
#include "database.h"
#include "filter_settings.h"
#include "gtk_ui.h"
#include "role_check.h"

namespace selvane {
namespace {

enum Column { kName, kSample, kExperiment, kProject, kSampleType, kColumns };

// One filter box: its first entry stands for "all".
struct FilterBox {
  GtkWidget* combo = nullptr;
  const char* kind;  // the browsing list it is filled from
  const char* all;   // its first entry
  const char* failure;
};

struct Date {
  int day = 0, month = 0, year = 0;  // year 0: none
};

struct Dialog {
  DatabaseDialogRequest request;
  double version = 0;
  FilterSettings settings;
  GtkWidget* window = nullptr;
  GtkWidget* view = nullptr;
  GtkListStore* store = nullptr;
  GtkTreeViewColumn* columns[kColumns] = {};
  GtkWidget* nameEntry = nullptr;
  GtkWidget* typeBox = nullptr;
  GtkWidget* filterButton = nullptr;
  GtkWidget* panel = nullptr;
  GtkWidget* dateButtons[2] = {};
  Date dates[2];
  FilterBox project{nullptr, "SampleProjects", "[All Projects]", "Failed to load sample projects"};
  FilterBox sampleType{nullptr, "SampleTypes", "[All Types]", "Failed to load sample types"};
  FilterBox sample{nullptr, "Samples", "[All Samples]", "Failed to load samples"};
  FilterBox assay{nullptr, "AssayTypes", nullptr, "Failed to load assays"};
  FilterBox chipType{nullptr, "ChipTypes", "[All Types]", "Failed to load chip types"};
  FilterBox user{nullptr, "ExperimentUsers", "[All Users]", "Failed to load experiment users"};
  FilterBox experiment{nullptr, "Experiments", "[All Experiments]", "Failed to load experiments"};
  std::vector<std::string> chosen;
  bool updatingSelection = false;
};

void Message(Dialog* d, const std::string& text) {
  (void)d;
  MessageBox(nullptr, text.c_str(), kDialogCaption, MB_OK | MB_ICONERROR);
}

std::string ActiveText(GtkWidget* combo) {
  gchar* t = gtk_combo_box_text_get_active_text(GTK_COMBO_BOX_TEXT(combo));
  std::string s = t ? t : "";
  g_free(t);
  return s;
}

// The box's value as a query filter: empty for its "all" entry.
std::string FilterValue(const FilterBox& b) {
  if (gtk_combo_box_get_active(GTK_COMBO_BOX(b.combo)) <= 0) return {};
  return ActiveText(b.combo);
}

void SelectText(GtkWidget* combo, const std::string& text) {
  GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(combo));
  GtkTreeIter it;
  int i = 0;
  for (gboolean ok = gtk_tree_model_get_iter_first(model, &it); ok; ok = gtk_tree_model_iter_next(model, &it), ++i) {
    gchar* t = nullptr;
    gtk_tree_model_get(model, &it, 0, &t, -1);
    const bool match = t && text == t;
    g_free(t);
    if (match) {
      gtk_combo_box_set_active(GTK_COMBO_BOX(combo), i);
      return;
    }
  }
  gtk_combo_box_set_active(GTK_COMBO_BOX(combo), 0);
}

const char* const kTypeLabels[] = {"All Files (*.*)", "DAT Files (*.DAT)", "CEL Files (*.CEL)", "CHP Files (*.CHP)"};
const char* const kTypeCodes[] = {"", "DAT", "CEL", "CHP"};

QueryFilter CurrentFilter(Dialog* d) {
  QueryFilter f;
  f.sampleProject = FilterValue(d->project);
  f.sampleType = FilterValue(d->sampleType);
  f.sample = FilterValue(d->sample);
  f.chipType = FilterValue(d->chipType);
  f.user = FilterValue(d->user);
  f.experiment = FilterValue(d->experiment);
  // The assay box's "all" entry is its first one, whatever the server calls it.
  f.assay = FilterValue(d->assay);
  const int t = gtk_combo_box_get_active(GTK_COMBO_BOX(d->typeBox));
  f.type = t > 0 ? kTypeCodes[t] : "";
  return f;
}

// "YYYY-MM-DD..." as a comparable number; 0 when the text is no date.
long DayNumber(const std::string& text) {
  int y = 0, m = 0, day = 0;
  if (std::sscanf(text.c_str(), "%d-%d-%d", &y, &m, &day) != 3) return 0;
  return y * 10000L + m * 100L + day;
}
long DayNumber(const Date& d) { return d.year ? d.year * 10000L + d.month * 100L + d.day : 0; }

void FillList(Dialog* d) {
  gtk_list_store_clear(d->store);
  std::vector<FileRow> rows;
  HRESULT hr = E_FAIL;
  try {
    hr = ListFiles(d->request.server, d->request.connection, CurrentFilter(d), &rows);
  } catch (const std::exception& e) {
    Message(d, std::string("Error during FillList: ") + e.what() + " " + d->request.server);
    return;
  } catch (...) {
    Message(d, "Error during FillList.");
    return;
  }
  if (FAILED(hr)) {
    Message(d, "Failed to load files");
    return;
  }
  // Dates and sample types come from each file's record, as the browsing list carries neither.
  const long lower = DayNumber(d->dates[0]), upper = DayNumber(d->dates[1]);
  size_t shown = 0;
  for (const FileRow& r : rows) {
    if (lower || upper) {
      std::string date;
      if (FAILED(FileField(d->request.server, d->request.connection, r.name, "Date", &date))) continue;
      const long day = DayNumber(date);
      if ((lower && day < lower) || (upper && day > upper)) continue;
    }
    std::string sampleType;
    FileField(d->request.server, d->request.connection, r.name, "SampleType", &sampleType);
    GtkTreeIter it;
    gtk_list_store_append(d->store, &it);
    gtk_list_store_set(d->store, &it, kName, r.name.c_str(), kSample, r.sample.c_str(), kExperiment,
                       r.experiment.c_str(), kProject, r.project.c_str(), kSampleType, sampleType.c_str(), -1);
    ++shown;
  }
  char title[64];
  std::snprintf(title, sizeof title, "File Name (%d)", static_cast<int>(shown));
  gtk_tree_view_column_set_title(d->columns[kName], title);
}

void FillBox(Dialog* d, FilterBox& b, const std::string& stored) {
  gtk_combo_box_text_remove_all(GTK_COMBO_BOX_TEXT(b.combo));
  std::vector<std::string> values;
  HRESULT hr = ListValues(d->request.server, d->request.connection, QueryFilter{}, b.kind, &values);
  if (FAILED(hr)) Message(d, b.failure);
  if (b.all) gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(b.combo), b.all);
  for (const std::string& v : values) gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(b.combo), v.c_str());
  SelectText(b.combo, stored);
}

void FillAssays(Dialog* d) {
  GtkComboBoxText* box = GTK_COMBO_BOX_TEXT(d->assay.combo);
  gtk_combo_box_text_remove_all(box);
  std::vector<std::string> values;
  if (FAILED(ListValues(d->request.server, d->request.connection, QueryFilter{}, d->assay.kind, &values)))
    Message(d, d->assay.failure);
  if (d->version >= 3.1) {
    std::erase_if(values, [](const std::string& v) {
      return strcasecmp(v.c_str(), "ALL") == 0 || v == "Mapping_historical";
    });
    gtk_combo_box_text_append_text(box, "[All Types]");
    for (const std::string& v : values) gtk_combo_box_text_append_text(box, v.c_str());
    SelectText(d->assay.combo, d->settings.assayName);
  } else {
    for (const std::string& v : values) gtk_combo_box_text_append_text(box, v.c_str());
    const DWORD a = d->settings.assay;
    const int n = static_cast<int>(values.size());
    gtk_combo_box_set_active(GTK_COMBO_BOX(box), (a == kAllAssays || a == 8 || static_cast<int>(a) >= n) ? 0 : static_cast<int>(a));
  }
}

// "%m %d %Y" <-> Date.
Date ParseStoredDate(const std::string& text) {
  Date d;
  if (std::sscanf(text.c_str(), "%d %d %d", &d.month, &d.day, &d.year) != 3 || d.month < 1 || d.month > 12 ||
      d.day < 1 || d.day > 31 || d.year < 1) {
    return Date{};
  }
  return d;
}
std::string StoredDate(const Date& d) {
  if (!d.year) return {};
  struct tm t = {};
  t.tm_year = d.year - 1900;
  t.tm_mon = d.month - 1;
  t.tm_mday = d.day;
  char buf[32];
  std::strftime(buf, sizeof buf, "%m %d %Y", &t);
  return buf;
}

void ShowDate(Dialog* d, int which) {
  const Date& x = d->dates[which];
  char buf[32] = "(any)";
  if (x.year) std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", x.year, x.month, x.day);
  gtk_button_set_label(GTK_BUTTON(d->dateButtons[which]), buf);
}

// A calendar in a small modal window: OK takes the day, Clear removes the bound.
void PickDate(GtkWidget*, gpointer data) {
  auto* pick = static_cast<std::pair<Dialog*, int>*>(data);
  Dialog* d = pick->first;
  const int which = pick->second;
  GtkWidget* w = gtk_dialog_new_with_buttons(which == 0 ? "Lower Date" : "Upper Date", GTK_WINDOW(d->window),
                                             GTK_DIALOG_MODAL, "C_lear", 1, "_Cancel", GTK_RESPONSE_CANCEL, "_OK",
                                             GTK_RESPONSE_OK, nullptr);
  gtk_dialog_set_default_response(GTK_DIALOG(w), GTK_RESPONSE_OK);
  GtkWidget* cal = gtk_calendar_new();
  const Date& cur = d->dates[which];
  if (cur.year) {
    gtk_calendar_select_month(GTK_CALENDAR(cal), static_cast<guint>(cur.month - 1), static_cast<guint>(cur.year));
    gtk_calendar_select_day(GTK_CALENDAR(cal), static_cast<guint>(cur.day));
  }
  gtk_container_set_border_width(GTK_CONTAINER(gtk_dialog_get_content_area(GTK_DIALOG(w))), 8);
  gtk_container_add(GTK_CONTAINER(gtk_dialog_get_content_area(GTK_DIALOG(w))), cal);
  gtk_widget_show_all(w);
  const gint r = gtk_dialog_run(GTK_DIALOG(w));
  if (r == GTK_RESPONSE_OK) {
    guint y = 0, m = 0, day = 0;
    gtk_calendar_get_date(GTK_CALENDAR(cal), &y, &m, &day);
    d->dates[which] = Date{static_cast<int>(day), static_cast<int>(m) + 1, static_cast<int>(y)};
  } else if (r == 1) {
    d->dates[which] = Date{};
  }
  gtk_widget_destroy(w);
  ShowDate(d, which);
}

void SaveSettings(Dialog* d) {
  FilterSettings& s = d->settings;
  s.project = FilterValue(d->project);
  s.sampleType = FilterValue(d->sampleType);
  s.sampleName = FilterValue(d->sample);
  s.arrayType = FilterValue(d->chipType);
  s.user = FilterValue(d->user);
  s.experimentName = FilterValue(d->experiment);
  const int a = gtk_combo_box_get_active(GTK_COMBO_BOX(d->assay.combo));
  s.assay = a <= 0 ? kAllAssays : static_cast<DWORD>(a);
  s.assayName = a <= 0 ? std::string() : ActiveText(d->assay.combo);
  s.lowerDate = StoredDate(d->dates[0]);
  s.upperDate = StoredDate(d->dates[1]);
  WriteFilterSettings(s);
}

// The names in the file name field: one name, or several each in double quotes.
std::vector<std::string> TypedNames(const std::string& text) {
  std::vector<std::string> out;
  if (text.find('"') == std::string::npos) {
    const size_t a = text.find_first_not_of(' '), b = text.find_last_not_of(' ');
    if (a != std::string::npos) out.push_back(text.substr(a, b - a + 1));
    return out;
  }
  for (size_t i = text.find('"'); i != std::string::npos;) {
    const size_t end = text.find('"', i + 1);
    if (end == std::string::npos) break;
    if (end > i + 1) out.push_back(text.substr(i + 1, end - i - 1));
    i = text.find('"', end + 1);
  }
  return out;
}

// OK: every name must exist; files that fail the role check are listed and left out.
bool Confirm(Dialog* d) {
  const std::vector<std::string> names = TypedNames(gtk_entry_get_text(GTK_ENTRY(d->nameEntry)));
  if (names.empty()) return false;
  std::vector<std::pair<std::string, std::string>> found;  // name, owner
  for (const std::string& n : names) {
    bool exists = false;
    std::string owner;
    if (FAILED(LookUpFile(d->request.server, d->request.connection, n, &exists, &owner)) || !exists) {
      Message(d, n + " does not exist. Please select a different file");
      return false;
    }
    found.emplace_back(n, owner);
  }
  std::vector<std::string> allowed, refused;
  for (auto& [name, owner] : found) {
    if (MayOpenFile(d->request.connection, owner, nullptr))
      allowed.push_back(name);
    else
      refused.push_back(name);
  }
  if (!refused.empty()) {
    std::string text = "The following could not be opened:\n";
    for (size_t i = 0; i < refused.size(); ++i) text += (i ? ", " : "") + refused[i];
    Message(d, text);
  }
  SaveSettings(d);
  if (allowed.empty()) return false;
  d->chosen = allowed;
  return true;
}

void OnSelectionChanged(GtkTreeSelection* sel, gpointer data) {
  auto* d = static_cast<Dialog*>(data);
  GtkTreeModel* model = nullptr;
  GList* rows = gtk_tree_selection_get_selected_rows(sel, &model);
  std::vector<std::string> names;
  for (GList* r = rows; r; r = r->next) {
    GtkTreeIter it;
    if (gtk_tree_model_get_iter(model, &it, static_cast<GtkTreePath*>(r->data))) {
      gchar* n = nullptr;
      gtk_tree_model_get(model, &it, kName, &n, -1);
      if (n) names.emplace_back(n);
      g_free(n);
    }
  }
  g_list_free_full(rows, reinterpret_cast<GDestroyNotify>(gtk_tree_path_free));
  if (names.empty()) return;
  std::string text = names.size() == 1 ? names[0] : std::string();
  if (names.size() > 1)
    for (const std::string& n : names) text += (text.empty() ? "\"" : " \"") + n + "\"";
  gtk_entry_set_text(GTK_ENTRY(d->nameEntry), text.c_str());
}

void OnRowActivated(GtkTreeView*, GtkTreePath*, GtkTreeViewColumn*, gpointer data) {
  gtk_dialog_response(GTK_DIALOG(static_cast<Dialog*>(data)->window), GTK_RESPONSE_OK);
}

void SetDetails(Dialog* d, bool details) {
  for (int c = kSample; c < kColumns; ++c) gtk_tree_view_column_set_visible(d->columns[c], details);
  gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(d->view), TRUE);
}

void OnListView(GtkToggleButton* b, gpointer data) {
  if (gtk_toggle_button_get_active(b)) SetDetails(static_cast<Dialog*>(data), false);
}
void OnDetailsView(GtkToggleButton* b, gpointer data) {
  if (gtk_toggle_button_get_active(b)) SetDetails(static_cast<Dialog*>(data), true);
}

// A window that grew to the right is moved back onto its monitor.
void KeepOnScreen(GtkWindow* w) {
  GdkWindow* gw = gtk_widget_get_window(GTK_WIDGET(w));
  if (!gw) return;
  GdkMonitor* m = gdk_display_get_monitor_at_window(gdk_window_get_display(gw), gw);
  if (!m) return;
  GdkRectangle area;
  gdk_monitor_get_workarea(m, &area);
  GtkRequisition req;
  gtk_widget_get_preferred_size(GTK_WIDGET(w), nullptr, &req);
  int x = 0, y = 0;
  gtk_window_get_position(w, &x, &y);
  if (x + req.width > area.x + area.width) {
    gtk_window_move(w, std::max(area.x, area.x + area.width - req.width), y);
  }
}

void OnFilterToggle(GtkWidget* button, gpointer data) {
  auto* d = static_cast<Dialog*>(data);
  const bool open = !gtk_widget_get_visible(d->panel);
  gtk_widget_set_visible(d->panel, open);
  gtk_button_set_label(GTK_BUTTON(button), open ? "_Filter<<" : "_Filter>>");
  gtk_window_resize(GTK_WINDOW(d->window), 1, 1);  // the window follows the panel, both ways
  if (open) KeepOnScreen(GTK_WINDOW(d->window));
}

void OnApply(GtkWidget*, gpointer data) { FillList(static_cast<Dialog*>(data)); }
void OnTypeChanged(GtkComboBox*, gpointer data) {
  auto* d = static_cast<Dialog*>(data);
  if (d->store) FillList(d);
}

GtkWidget* Label(const char* text, GtkWidget* target) {
  GtkWidget* l = gtk_label_new_with_mnemonic(text);
  gtk_label_set_xalign(GTK_LABEL(l), 0);
  if (target) gtk_label_set_mnemonic_widget(GTK_LABEL(l), target);
  return l;
}

GtkWidget* BuildPanel(Dialog* d) {
  GtkWidget* frame = gtk_frame_new("Advanced Filter");
  GtkWidget* grid = gtk_grid_new();
  gtk_grid_set_row_spacing(GTK_GRID(grid), 6);
  gtk_grid_set_column_spacing(GTK_GRID(grid), 8);
  gtk_container_set_border_width(GTK_CONTAINER(grid), 10);
  gtk_container_add(GTK_CONTAINER(frame), grid);
  struct Row {
    const char* label;
    FilterBox* box;
  } rows[] = {
      {"Sample P_roject", &d->project},  {"Sample T_ype", &d->sampleType}, {"Sample Na_me", &d->sample},
      {"Assay Typ_e", &d->assay},        {"Probe _Array Type", &d->chipType}, {"_User", &d->user},
      {"E_xperiment", &d->experiment},
  };
  int r = 0;
  for (Row& row : rows) {
    row.box->combo = gtk_combo_box_text_new();
    gtk_widget_set_size_request(row.box->combo, 200, -1);
    gtk_grid_attach(GTK_GRID(grid), Label(row.label, row.box->combo), 0, r, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), row.box->combo, 1, r, 1, 1);
    ++r;
  }
  static const char* const kDateLabels[2] = {"Lower Date", "Upper Date"};
  for (int i = 0; i < 2; ++i) {
    d->dateButtons[i] = gtk_button_new_with_label("(any)");
    auto* pick = new std::pair<Dialog*, int>(d, i);
    g_signal_connect_data(d->dateButtons[i], "clicked", G_CALLBACK(PickDate), pick,
                          [](gpointer p, GClosure*) { delete static_cast<std::pair<Dialog*, int>*>(p); },
                          GConnectFlags(0));
    gtk_grid_attach(GTK_GRID(grid), Label(kDateLabels[i], nullptr), 0, r, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), d->dateButtons[i], 1, r, 1, 1);
    ++r;
  }
  GtkWidget* apply = gtk_button_new_with_mnemonic("A_pply");
  g_signal_connect(apply, "clicked", G_CALLBACK(OnApply), d);
  gtk_widget_set_halign(apply, GTK_ALIGN_END);
  gtk_grid_attach(GTK_GRID(grid), apply, 1, r, 1, 1);
  return frame;
}

void Build(Dialog* d) {
  GtkWidget* w = gtk_dialog_new();
  d->window = w;
  gtk_window_set_title(GTK_WINDOW(w), d->request.title.c_str());
  gtk_window_set_position(GTK_WINDOW(w), GTK_WIN_POS_CENTER);
  gtk_window_set_resizable(GTK_WINDOW(w), FALSE);
  GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(w));
  gtk_container_set_border_width(GTK_CONTAINER(content), 10);
  gtk_box_set_spacing(GTK_BOX(content), 8);

  GtkWidget* outer = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
  GtkWidget* main = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
  gtk_box_pack_start(GTK_BOX(outer), main, TRUE, TRUE, 0);
  gtk_container_add(GTK_CONTAINER(content), outer);

  // View buttons.
  GtkWidget* bar = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 4);
  GtkWidget* list = gtk_radio_button_new_with_mnemonic(nullptr, "_List");
  GtkWidget* details = gtk_radio_button_new_with_mnemonic_from_widget(GTK_RADIO_BUTTON(list), "_Details");
  gtk_toggle_button_set_mode(GTK_TOGGLE_BUTTON(list), FALSE);
  gtk_toggle_button_set_mode(GTK_TOGGLE_BUTTON(details), FALSE);
  gtk_box_pack_end(GTK_BOX(bar), details, FALSE, FALSE, 0);
  gtk_box_pack_end(GTK_BOX(bar), list, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(main), bar, FALSE, FALSE, 0);

  // The file list.
  d->store = gtk_list_store_new(kColumns, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING);
  d->view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(d->store));
  g_object_unref(d->store);
  const char* titles[kColumns] = {"File Name (0)", "Sample Name", "Experiment", "Sample Project", "Sample Type"};
  for (int c = 0; c < kColumns; ++c) {
    GtkCellRenderer* cell = gtk_cell_renderer_text_new();
    d->columns[c] = gtk_tree_view_column_new_with_attributes(titles[c], cell, "text", c, nullptr);
    gtk_tree_view_column_set_resizable(d->columns[c], TRUE);
    gtk_tree_view_column_set_min_width(d->columns[c], c == kName ? 130 : 90);
    gtk_tree_view_append_column(GTK_TREE_VIEW(d->view), d->columns[c]);
  }
  GtkTreeSelection* sel = gtk_tree_view_get_selection(GTK_TREE_VIEW(d->view));
  gtk_tree_selection_set_mode(sel, d->request.multiSelect ? GTK_SELECTION_MULTIPLE : GTK_SELECTION_SINGLE);
  g_signal_connect(sel, "changed", G_CALLBACK(OnSelectionChanged), d);
  g_signal_connect(d->view, "row-activated", G_CALLBACK(OnRowActivated), d);
  GtkWidget* scroll = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroll), GTK_SHADOW_IN);
  gtk_widget_set_size_request(scroll, 600, 260);
  gtk_container_add(GTK_CONTAINER(scroll), d->view);
  gtk_box_pack_start(GTK_BOX(main), scroll, TRUE, TRUE, 0);
  g_signal_connect(list, "toggled", G_CALLBACK(OnListView), d);
  g_signal_connect(details, "toggled", G_CALLBACK(OnDetailsView), d);
  SetDetails(d, false);

  // Name, type, and the buttons beside them.
  GtkWidget* grid = gtk_grid_new();
  gtk_grid_set_row_spacing(GTK_GRID(grid), 6);
  gtk_grid_set_column_spacing(GTK_GRID(grid), 8);
  d->nameEntry = gtk_entry_new();
  gtk_entry_set_activates_default(GTK_ENTRY(d->nameEntry), TRUE);
  gtk_widget_set_hexpand(d->nameEntry, TRUE);
  d->typeBox = gtk_combo_box_text_new();
  for (const char* t : kTypeLabels) gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(d->typeBox), t);
  int type = 0;
  for (int i = 1; i < 4; ++i)
    if (d->request.typeCode && *d->request.typeCode == kTypeCodes[i]) type = i;
  gtk_combo_box_set_active(GTK_COMBO_BOX(d->typeBox), type);
  GtkWidget* ok = gtk_button_new_with_mnemonic("_OK");
  GtkWidget* cancel = gtk_button_new_with_mnemonic("_Cancel");
  gtk_widget_set_can_default(ok, TRUE);
  g_signal_connect_swapped(ok, "clicked", G_CALLBACK(+[](GtkWidget* win) {
                             gtk_dialog_response(GTK_DIALOG(win), GTK_RESPONSE_OK);
                           }), w);
  g_signal_connect_swapped(cancel, "clicked", G_CALLBACK(+[](GtkWidget* win) {
                             gtk_dialog_response(GTK_DIALOG(win), GTK_RESPONSE_CANCEL);
                           }), w);
  gtk_widget_set_size_request(ok, 96, -1);
  gtk_widget_set_size_request(cancel, 96, -1);
  gtk_grid_attach(GTK_GRID(grid), Label("File _name:", d->nameEntry), 0, 0, 1, 1);
  gtk_grid_attach(GTK_GRID(grid), d->nameEntry, 1, 0, 1, 1);
  gtk_grid_attach(GTK_GRID(grid), ok, 2, 0, 1, 1);
  gtk_grid_attach(GTK_GRID(grid), Label("Files of _Type:", d->typeBox), 0, 1, 1, 1);
  gtk_grid_attach(GTK_GRID(grid), d->typeBox, 1, 1, 1, 1);
  gtk_grid_attach(GTK_GRID(grid), cancel, 2, 1, 1, 1);
  d->filterButton = gtk_button_new_with_mnemonic("_Filter>>");
  gtk_widget_set_size_request(d->filterButton, 96, -1);
  gtk_grid_attach(GTK_GRID(grid), d->filterButton, 2, 2, 1, 1);
  gtk_box_pack_start(GTK_BOX(main), grid, FALSE, FALSE, 0);
  g_signal_connect(d->filterButton, "clicked", G_CALLBACK(OnFilterToggle), d);

  d->panel = BuildPanel(d);
  gtk_box_pack_start(GTK_BOX(outer), d->panel, FALSE, FALSE, 0);
  // Folded until "Filter>>" is pressed; showing the dialog leaves it so.
  gtk_widget_show_all(d->panel);
  gtk_widget_hide(d->panel);
  gtk_widget_set_no_show_all(d->panel, TRUE);

  gtk_widget_show_all(content);
  gtk_widget_grab_default(ok);
  gtk_widget_grab_focus(d->nameEntry);
  g_signal_connect(d->typeBox, "changed", G_CALLBACK(OnTypeChanged), d);
}

}  // namespace

LONG RunDatabaseDialogGtk(const DatabaseDialogRequest& request, std::vector<std::string>* names) {
  auto d = std::make_unique<Dialog>();
  d->request = request;
  d->version = ServerVersion(request.connection);
  d->settings = ReadFilterSettings();
  d->dates[0] = ParseStoredDate(d->settings.lowerDate);
  d->dates[1] = ParseStoredDate(d->settings.upperDate);
  Build(d.get());
  AttachToClientWindow(d->window, request.parent);
  FillBox(d.get(), d->project, d->settings.project);
  FillBox(d.get(), d->sampleType, d->settings.sampleType);
  FillBox(d.get(), d->sample, d->settings.sampleName);
  FillBox(d.get(), d->user, d->settings.user);
  FillBox(d.get(), d->chipType, d->settings.arrayType);
  FillAssays(d.get());
  FillBox(d.get(), d->experiment, d->settings.experimentName);
  ShowDate(d.get(), 0);
  ShowDate(d.get(), 1);
  FillList(d.get());

  LONG result = IDCANCEL;
  for (;;) {
    const gint r = gtk_dialog_run(GTK_DIALOG(d->window));
    if (r != GTK_RESPONSE_OK) break;
    if (Confirm(d.get())) {
      *names = d->chosen;
      result = IDOK;
      break;
    }
  }
  gtk_widget_destroy(d->window);
  while (gtk_events_pending()) gtk_main_iteration();
  return result;
}

}  // namespace selvane
