#pragma once
#include <cstdint>

namespace getkelo::sim {

// What the model needs from the device's registers for one stretch of time.
struct ModelInputs {
    bool controller = false;
    bool pressureControl = false; // pressure controller in mode 5 or 6
    double range = 100;
    double setpoint = 0;
    double pressureSetpoint = 0;
    double pressureFull = 10;
    double meterFlow = 0;
    double alarmDelayS = 0;
    double totalizerFactor = 1; // flow unit times one minute, in totalizer units
};

// Alarm word bits raised by the model.
inline constexpr uint16_t kAlarmSetpointInput = 1u << 1;
inline constexpr uint16_t kAlarmNoFlowAtFullValve = 1u << 3;

// Physical model of one device: the valve opens towards what the setpoint needs, the flow
// follows the valve with a first-order lag, the totalizer integrates the flow. Time moves
// only through advance(), called lazily with the time passed since the last call.
class FlowModel {
  public:
    FlowModel(double timeConstantMs, double noise, uint32_t seed);

    void advance(const ModelInputs& in, int64_t dtMs);
    void restart();
    void clearAlarms();

    // Noisy readings (noise only on what a sensor measures).
    double flowReading(const ModelInputs& in);
    double temperatureReading();
    double pressureReading(const ModelInputs& in);

    double flow() const { return flow_; }
    double valve() const { return valve_; }
    double totalizer() const { return total_; }
    double pressure() const { return pressure_; }
    uint16_t alarms() const { return alarms_; }
    void setTotalizer(double v) { total_ = v; }
    void setGasSupply(bool on) { supply_ = on ? 1.0 : 0.0; }

  private:
    void step(const ModelInputs& in, double dtS);
    double noiseSample();

    double tauS_;
    double noise_;
    uint32_t rng_;
    double flow_ = 0;
    double valve_ = 0;
    double total_ = 0;
    double pressure_ = 1.0;
    double supply_ = 1.0;
    double timeS_ = 0;
    double noFlowS_ = 0;
    uint16_t alarms_ = 0;
};

} // namespace getkelo::sim
