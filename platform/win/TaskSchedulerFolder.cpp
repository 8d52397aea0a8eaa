#include "platform/win/TaskSchedulerFolder.h"

#include <cstdio>
#include <utility>

#include "platform/Exception.h"
#include "platform/win/SystemErrorText.h"
#include "platform/win/SystemHeaders.h"
#include "platform/win/WideText.h"

// After <windows.h>, which they need.
#include <oleauto.h>
#include <taskschd.h>

namespace platform::win {
namespace {

// One reference to a COM object, released at the end of its scope.
template <class Interface>
class Com {
 public:
  Com() = default;
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  ~Com() {
    if (pointer_) pointer_->Release();
  }
  Interface** Out() { return &pointer_; }
  void** OutVoid() { return reinterpret_cast<void**>(&pointer_); }
  Interface* operator->() const { return pointer_; }
  Interface* Get() const { return pointer_; }

 private:
  Interface* pointer_ = nullptr;
};

class Bstr {
 public:
  explicit Bstr(const std::wstring& text)
      : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  Bstr() = default;
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(value_); }
  BSTR Get() const { return value_; }
  BSTR* Out() { return &value_; }
  std::string Utf8() const {
    return value_ ? WideToUtf8(std::wstring_view(value_, SysStringLen(value_))) : "";
  }

 private:
  BSTR value_ = nullptr;
};

// COM for the calling thread as long as it lives; a thread that has it already (the windows' thread)
// keeps it as it was.
class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }

 private:
  HRESULT result_;
};

void Check(HRESULT result, const char* what) {
  if (SUCCEEDED(result)) return;
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
  const std::string text = SystemErrorText(static_cast<unsigned long>(result));
  throw Exception(std::string("Agendador de Tarefas do Windows: ") + what + " falhou (" + code +
                  (text.empty() ? "" : " " + text) + ").");
}

VARIANT Empty() {
  VARIANT value;
  VariantInit(&value);
  return value;
}

// "2000-01-01T22:30:00" (a zone may follow) gives 22 and 30.
bool ReadStartTime(const std::string& boundary, int& hour, int& minute) {
  const std::size_t t = boundary.find('T');
  return t != std::string::npos && std::sscanf(boundary.c_str() + t + 1, "%2d:%2d", &hour, &minute) == 2;
}

class SchedulerFolder final : public DailyTaskFolder {
 public:
  explicit SchedulerFolder(std::string folderPath) : folderPath_(Utf8ToWide(folderPath)) {}

  bool Available() override {
    ComApartment apartment;
    Com<ITaskService> service;
    return SUCCEEDED(Connect(service));
  }

  std::vector<DailyTask> Read() override {
    ComApartment apartment;
    Com<ITaskService> service;
    Check(Connect(service), "a conexão");
    Com<ITaskFolder> folder;
    if (FAILED(service->GetFolder(Bstr(folderPath_).Get(), folder.Out()))) return {};  // nothing saved yet
    return ReadTasks(*folder.Get());
  }

  void Replace(const std::vector<DailyTask>& tasks) override {
    ComApartment apartment;
    Com<ITaskService> service;
    Check(Connect(service), "a conexão");
    Com<ITaskFolder> folder;
    OpenOrCreateFolder(*service.Get(), folder);
    const std::vector<DailyTask> previous = ReadTasks(*folder.Get());
    try {
      DeleteTasks(*folder.Get());
      RegisterTasks(*service.Get(), *folder.Get(), tasks);
    } catch (const Exception&) {
      // Puts the saved set back as well as it can; the first failure is the one reported.
      try {
        DeleteTasks(*folder.Get());
        RegisterTasks(*service.Get(), *folder.Get(), previous);
      } catch (const Exception&) {
      }
      throw;
    }
  }

 private:
  static HRESULT Connect(Com<ITaskService>& service) {
    HRESULT result = CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                      service.OutVoid());
    if (FAILED(result)) return result;
    return service->Connect(Empty(), Empty(), Empty(), Empty());
  }

  void OpenOrCreateFolder(ITaskService& service, Com<ITaskFolder>& folder) {
    if (SUCCEEDED(service.GetFolder(Bstr(folderPath_).Get(), folder.Out()))) return;
    Com<ITaskFolder> root;
    Check(service.GetFolder(Bstr(L"\\").Get(), root.Out()), "abrir a pasta raiz");
    Check(root->CreateFolder(Bstr(folderPath_).Get(), Empty(), folder.Out()), "criar a pasta de tarefas");
  }

  // Our tasks are looked up by their names, "Backup 01" onwards, rather than listed: Wine's scheduler
  // cannot list a folder, and tasks someone else put in the folder are none of ours.
  static std::vector<DailyTask> ReadTasks(ITaskFolder& folder) {
    std::vector<DailyTask> tasks;
    for (std::size_t i = 0; i < kMaxDailyTasks; ++i) {
      Com<IRegisteredTask> task;
      if (FAILED(folder.GetTask(Bstr(Utf8ToWide(DailyTaskName(i))).Get(), task.Out()))) continue;
      DailyTask daily;
      if (ReadTask(*task.Get(), daily)) tasks.push_back(std::move(daily));
    }
    return tasks;
  }

  // False for a task that is not a daily start of a program (none of ours).
  static bool ReadTask(IRegisteredTask& task, DailyTask& daily) {
    Com<ITaskDefinition> definition;
    Check(task.get_Definition(definition.Out()), "ler a definição de uma tarefa");
    Com<ITriggerCollection> triggers;
    Com<ITrigger> trigger;
    Bstr boundary;
    Check(definition->get_Triggers(triggers.Out()), "ler os horários de uma tarefa");
    if (FAILED(triggers->get_Item(1, trigger.Out())) || FAILED(trigger->get_StartBoundary(boundary.Out())) ||
        !ReadStartTime(boundary.Utf8(), daily.hour, daily.minute)) {
      return false;
    }
    Com<IActionCollection> actions;
    Com<IAction> action;
    Com<IExecAction> exec;
    Check(definition->get_Actions(actions.Out()), "ler as ações de uma tarefa");
    if (FAILED(actions->get_Item(1, action.Out())) ||
        FAILED(action->QueryInterface(IID_IExecAction, exec.OutVoid()))) {
      return false;
    }
    Bstr path;
    Bstr arguments;
    Check(exec->get_Path(path.Out()), "ler o programa de uma tarefa");
    Check(exec->get_Arguments(arguments.Out()), "ler os argumentos de uma tarefa");
    daily.program = path.Utf8();
    daily.arguments = arguments.Utf8();
    return true;
  }

  static void DeleteTasks(ITaskFolder& folder) {
    for (std::size_t i = 0; i < kMaxDailyTasks; ++i) {
      const Bstr name(Utf8ToWide(DailyTaskName(i)));
      Com<IRegisteredTask> task;
      if (SUCCEEDED(folder.GetTask(name.Get(), task.Out())))
        Check(folder.DeleteTask(name.Get(), 0), "apagar uma tarefa");
    }
  }

  static void RegisterTasks(ITaskService& service, ITaskFolder& folder, const std::vector<DailyTask>& tasks) {
    for (std::size_t i = 0; i < tasks.size(); ++i) {
      const DailyTask& task = tasks[i];
      Com<ITaskDefinition> definition;
      Check(service.NewTask(0, definition.Out()), "criar uma tarefa");

      Com<ITaskSettings> settings;
      Check(definition->get_Settings(settings.Out()), "ler as opções da tarefa");
      Check(settings->put_DisallowStartIfOnBatteries(VARIANT_FALSE), "definir as opções da tarefa");
      Check(settings->put_StopIfGoingOnBatteries(VARIANT_FALSE), "definir as opções da tarefa");

      Com<ITriggerCollection> triggers;
      Com<ITrigger> trigger;
      Com<IDailyTrigger> daily;
      Check(definition->get_Triggers(triggers.Out()), "ler os horários da tarefa");
      Check(triggers->Create(TASK_TRIGGER_DAILY, trigger.Out()), "criar o horário diário");
      Check(trigger->QueryInterface(IID_IDailyTrigger, daily.OutVoid()), "criar o horário diário");
      Check(daily->put_DaysInterval(1), "definir o horário diário");
      wchar_t boundary[32];
      std::swprintf(boundary, 32, L"2000-01-01T%02d:%02d:00", task.hour, task.minute);
      Check(trigger->put_StartBoundary(Bstr(boundary).Get()), "definir o horário diário");

      Com<IActionCollection> actions;
      Com<IAction> action;
      Com<IExecAction> exec;
      Check(definition->get_Actions(actions.Out()), "ler as ações da tarefa");
      Check(actions->Create(TASK_ACTION_EXEC, action.Out()), "criar a ação da tarefa");
      Check(action->QueryInterface(IID_IExecAction, exec.OutVoid()), "criar a ação da tarefa");
      Check(exec->put_Path(Bstr(Utf8ToWide(task.program)).Get()), "definir o programa da tarefa");
      Check(exec->put_Arguments(Bstr(Utf8ToWide(task.arguments)).Get()), "definir os argumentos da tarefa");

      Com<IRegisteredTask> registered;
      Check(folder.RegisterTaskDefinition(Bstr(Utf8ToWide(DailyTaskName(i))).Get(), definition.Get(),
                                          TASK_CREATE_OR_UPDATE, Empty(), Empty(),
                                          TASK_LOGON_INTERACTIVE_TOKEN, Empty(), registered.Out()),
            "registrar a tarefa");
    }
  }

  std::wstring folderPath_;
};

}  // namespace

std::unique_ptr<DailyTaskFolder> TaskSchedulerFolder(std::string folderPath) {
  return std::make_unique<SchedulerFolder>(std::move(folderPath));
}

}  // namespace platform::win
