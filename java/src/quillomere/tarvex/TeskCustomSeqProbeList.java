package quillomere.tarvex;

/**
 * A probe list of a custom-sequence probe group: the probes of one position of the sequence.
 */
public class TeskCustomSeqProbeList extends ChildObject {
    static {
        NativeLibrary.load();
    }

    /** ListIndex: Filled by the native methods. */
    public int ListIndex;
    /** NumProbes: Filled by the native methods. */
    public int NumProbes;
    /** ReferenceIndex: Filled by the native methods. */
    public int ReferenceIndex;
    /** SequencePosition: Filled by the native methods. */
    public int SequencePosition;
    /** GroupIndex: Filled by the native methods. */
    public int GroupIndex;

    /**
     * One probe of this list.
     *
     * @param index index of the item, from 0
     * @return the probe
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native TeskProbe GetProbeByIndex(int index) throws Exception;

    /**
     * Every probe of this list.
     *
     * @return the probes, in order
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native TeskProbe[] GetProbes() throws Exception;

}
